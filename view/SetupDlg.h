#pragma once
// CSetupDlg: asks for the communication port (COM1..COM4) and the sampling interval in
// whole seconds (2..600). It only turns the widgets into m_nPort and m_nInterval; the Start
// command applies them. Opens with COM2 and 2 s every time.

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

class CSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSetupDlg(QWidget* pParent = nullptr);

    int m_nPort = 1;      // 0 "COM1" .. 3 "COM4"
    int m_nInterval = 2;  // seconds

    // How a refused entry is reported; by default a warning box titled "Varkel". Tests
    // replace it to read the message.
    void SetMessageSink(std::function<void(const QString&)> sink) {
        m_pfnShowMessage = std::move(sink);
    }

    QComboBox* PortList() const { return m_pPortList; }
    QLineEdit* IntervalEdit() const { return m_pIntervalEdit; }
    QPushButton* OkButton() const { return m_pOk; }
    QPushButton* CancelButton() const { return m_pCancel; }

public slots:
    // Reads the widgets: the port, then the integer check, then the range check. On a
    // refusal shows its message, puts the focus into the interval field and stays open.
    void accept() override;

private:
    QComboBox* m_pPortList;
    QLineEdit* m_pIntervalEdit;
    QPushButton* m_pOk;
    QPushButton* m_pCancel;
    std::function<void(const QString&)> m_pfnShowMessage;
};
