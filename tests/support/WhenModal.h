#pragma once
// Drives a dialog that the code under test runs modally (exec()): once a dialog of type T is
// the active modal widget, check runs on it from inside that dialog's own event loop. The
// dialog is closed when check returns, however it returns: a QCOMPARE or QVERIFY that fails
// leaves check early, and a dialog left open would hold exec(), and with it the test, until
// the test's time-out. A modal widget of another type fails the test and is closed as well.
//
//     WhenModal<QMessageBox> box([&](QMessageBox* b) { QCOMPARE(...); b->button(...)->click(); });
//     prompts.ShowWarning(...);
//     QVERIFY(box.Checked());
//
// Keep the object alive until the call that runs the dialog has returned.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <string>
#include <utility>

template <typename T>
class WhenModal {
public:
    explicit WhenModal(std::function<void(T*)> check) : m_pfnCheck(std::move(check)) {
        // Looked for again and again rather than once: the dialog's exec() has not begun yet,
        // and only its event loop runs the timer. A look costs nothing while none is up.
        m_timer.setInterval(kLookEveryMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { LookForTheDialog(); });
        m_timer.start();
    }
    WhenModal(const WhenModal&) = delete;
    WhenModal& operator=(const WhenModal&) = delete;

    // True once a dialog of type T came up and check ran on it.
    bool Checked() const { return m_bChecked; }

private:
    static constexpr int kLookEveryMs = 10;

    void LookForTheDialog() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        m_timer.stop();
        const auto closeIfStillOpen = qScopeGuard([shown = QPointer<QWidget>(modal)] {
            if (!shown || !shown->isVisible()) return;
            if (auto* dialog = qobject_cast<QDialog*>(shown.data())) {
                dialog->done(QDialog::Rejected);
            } else {
                shown->close();
            }
        });
        T* dialog = qobject_cast<T*>(modal);
        if (!dialog) {
            const std::string what =
                std::string("a modal ") + modal->metaObject()->className() + " came up instead";
            QTest::qFail(what.c_str(), __FILE__, __LINE__);
            return;
        }
        m_bChecked = true;
        m_pfnCheck(dialog);
    }

    std::function<void(T*)> m_pfnCheck;
    QTimer m_timer;
    bool m_bChecked = false;
};
