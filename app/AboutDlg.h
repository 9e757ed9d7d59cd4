#pragma once
// CAboutDlg: "About Varkel" with the application icon, "Varkel Impedance meter" and OK.
// OK, Esc and the close box end it.

#include <QDialog>

class QLabel;
class QPushButton;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);

    QLabel* IconLabel() const { return m_pIcon; }
    QLabel* TextLabel() const { return m_pText; }
    QPushButton* OkButton() const { return m_pOk; }

private:
    QLabel* m_pIcon;
    QLabel* m_pText;
    QPushButton* m_pOk;
};
