#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The password window "Passworteingabe": one field that shows every character as "*", and an OK button.
// OK or Enter closes it; there is no cancel button, and closing the window leaves the empty entry.
class FormPassW : public QDialog {
    Q_OBJECT
public:
    explicit FormPassW(QWidget* parent = nullptr);

    // The typed password; empty when the window was closed without OK or Enter.
    QString Password() const;

    QLineEdit* TB_PassW() const { return tbPassW_; }
    QPushButton* OKButton() const { return okButton_; }

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* label1_ = nullptr;
    QLineEdit* tbPassW_ = nullptr;
    QPushButton* okButton_ = nullptr;
};
