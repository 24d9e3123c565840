#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "shell/Settings.h"

// Where a setting comes from: system file, file beside the program, user file, environment, default.
namespace {

const Settings::Definition& ArticleDir() {
    return Settings::DefinitionOf("Paths", "ArticleConfigDir");
}

// Sets or clears an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<QByteArray> value)
        : name_(name), saved_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt) {
        Apply(value);
    }
    ~ScopedEnvironment() { Apply(saved_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Apply(const std::optional<QByteArray>& value) {
        if (value) {
            qputenv(name_, *value);
        } else {
            qunsetenv(name_);
        }
    }
    const char* name_;
    std::optional<QByteArray> saved_;
};

// The three files of a row; nullptr: no such file.
struct OrderRow {
    const char* what;
    const char* system;
    const char* program;
    const char* user;
    std::optional<QByteArray> environment;
    const char* expected;
    const char* origin;  // "system", "program", "user", the variable, or "Voreinstellung"
};

QString Dir(const char* value) {
    return QStringLiteral("[Paths]\nArticleConfigDir = %1\n").arg(QLatin1String(value));
}

}  // namespace

TEST(SettingsOrderTest, LaterSourcesOverrideEarlierOnes) {
    const char* const kDefault = "/mnt/N/GROUP/TEST/_Software/Programme/Velkor/INI/";
    const OrderRow rows[] = {
        {"nothing set", nullptr, nullptr, nullptr, std::nullopt, kDefault, "Voreinstellung"},
        {"system file only", "/sys", nullptr, nullptr, std::nullopt, "/sys", "system"},
        {"beside the program over the system file", "/sys", "/prog", nullptr, std::nullopt, "/prog", "program"},
        {"user file over both", "/sys", "/prog", "/user", std::nullopt, "/user", "user"},
        {"user file over the system file", "/sys", nullptr, "/user", std::nullopt, "/user", "user"},
        {"environment over every file", "/sys", "/prog", "/user", QByteArray("/env"), "/env", "VELKOR_INI_DIR"},
        {"an empty environment variable still counts", "/sys", nullptr, nullptr, QByteArray(), "", "VELKOR_INI_DIR"},
    };
    for (const OrderRow& row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir dir;
        QStringList files;
        for (const auto& [name, value] :
             {std::pair{"system", row.system}, std::pair{"program", row.program}, std::pair{"user", row.user}}) {
            const QString path = dir.filePath(QLatin1String(name) + QStringLiteral(".ini"));
            files.append(path);
            if (value != nullptr) {
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(Dir(value).toUtf8());
            }
        }
        const ScopedEnvironment environment("VELKOR_INI_DIR", row.environment);
        const Settings::Layers layers(files);
        EXPECT_EQ(layers.Value(ArticleDir()), QString::fromUtf8(row.expected));
        EXPECT_TRUE(layers.Origin(ArticleDir()).startsWith(QLatin1String(row.origin)) ||
                    layers.Origin(ArticleDir()).startsWith(dir.filePath(QLatin1String(row.origin))))
            << layers.Origin(ArticleDir()).toStdString();
    }
}

TEST(SettingsOrderTest, WhatAFileSaysAndWhatIsWrongWithIt) {
    struct Row {
        const char* what;
        const char* text;  // nullptr: the file is a folder, which cannot be read
        const char* value;
        const char* problem;  // empty: none
        const char* unknown;  // empty: none
    };
    const Row rows[] = {
        {"quotes, blanks and case", "; comment\n# comment\n\n [ paths ] \n articleconfigdir =  \"/quoted dir\" \n",
         "/quoted dir", "", ""},
        {"the last line of a key wins", "[Paths]\nArticleConfigDir=/a\nArticleConfigDir=/b\n", "/b", "", ""},
        {"a line of no kind", "[Paths]\nArticleConfigDir=/a\nnonsense\n", "/default",
         "user.ini, Zeile 3: weder „[Abschnitt]“ noch „Schlüssel = Wert“ („nonsense“)", ""},
        {"an unclosed section", "[Paths\nArticleConfigDir=/a\n", "/default", "user.ini, Zeile 1", ""},
        {"a key before any section", "ArticleConfigDir=/a\n", "/default", "user.ini, Zeile 1", ""},
        {"a folder in place of the file", nullptr, "/default", "user.ini: nicht lesbar", ""},
        {"an unknown key", "[Update]\nHots = ftp.example\n[Paths]\nArticleConfigDir=/a\n", "/a", "", "[Update] Hots ("},
    };
    const ScopedEnvironment environment("VELKOR_INI_DIR", std::nullopt);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir dir;
        const QString system = dir.filePath(QStringLiteral("system.ini"));
        const QString user = dir.filePath(QStringLiteral("user.ini"));
        QFile systemFile(system);
        ASSERT_TRUE(systemFile.open(QIODevice::WriteOnly));
        systemFile.write(Dir("/default").toUtf8());
        systemFile.close();
        if (row.text == nullptr) {
            ASSERT_TRUE(QDir().mkpath(user));
        } else {
            QFile userFile(user);
            ASSERT_TRUE(userFile.open(QIODevice::WriteOnly));
            userFile.write(row.text);
        }
        const Settings::Layers layers({system, user});
        EXPECT_EQ(layers.Value(ArticleDir()), QString::fromUtf8(row.value));
        const QString problems = layers.FileProblems().join(QLatin1Char('|'));
        if (*row.problem == '\0') {
            EXPECT_TRUE(problems.isEmpty()) << problems.toStdString();
        } else {
            EXPECT_EQ(layers.FileProblems().size(), 1);
            EXPECT_TRUE(problems.contains(QString::fromUtf8(row.problem))) << problems.toStdString();
        }
        const QString unknown = layers.UnknownKeys().join(QLatin1Char('|'));
        EXPECT_EQ(unknown.isEmpty(), *row.unknown == '\0') << unknown.toStdString();
        if (*row.unknown != '\0') {
            EXPECT_TRUE(unknown.startsWith(QString::fromUtf8(row.unknown))) << unknown.toStdString();
        }
    }
}

TEST(SettingsOrderTest, UpdateCheckSwitch) {
    const std::pair<std::optional<QByteArray>, bool> rows[] = {
        {std::nullopt, true},     {QByteArray("false"), false}, {QByteArray("Nein"), false},
        {QByteArray("0"), false}, {QByteArray("true"), true},   {QByteArray("ja"), true},
    };
    for (const auto& [value, enabled] : rows) {
        SCOPED_TRACE(value.value_or("unset").constData());
        const ScopedEnvironment environment("VELKOR_UPDATE_ENABLED", value);
        EXPECT_EQ(Settings::UpdateEnabled(), enabled);
    }
}
