#include "rework/widgets/FormPassW.h"

#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Masks typed characters with "*" whatever the platform's own mask character is.
class StarMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

FormPassW::FormPassW(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormPassW"));
    setWindowTitle(QStringLiteral("Passworteingabe"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    label1_ = new QLabel(QStringLiteral("Bitte Passwort eingeben:"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    tbPassW_ = new QLineEdit(this);
    tbPassW_->setObjectName(QStringLiteral("TB_PassW"));
    auto* style = new StarMaskStyle();
    style->setParent(tbPassW_);
    tbPassW_->setStyle(style);
    tbPassW_->setEchoMode(QLineEdit::Password);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setDefault(true);
    layout->addWidget(label1_);
    layout->addWidget(tbPassW_);
    layout->addWidget(okButton_, 0, Qt::AlignRight);

    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(tbPassW_, &QLineEdit::returnPressed, this, &QDialog::accept);
    tbPassW_->clear();
}

QString FormPassW::Password() const {
    return tbPassW_->text();
}

void FormPassW::reject() {
    tbPassW_->clear();
    QDialog::reject();
}

void FormPassW::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    tbPassW_->setFocus(Qt::OtherFocusReason);
}
