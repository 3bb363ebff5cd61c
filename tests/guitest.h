// Helpers for tests that drive real windows: an isolated settings profile, and a watcher that
// answers modal dialogs as they open.
#pragma once

#include "res/resources.h"
#include "settings/profile.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>

// Keeps the settings in a fresh INI file and forgets any applied language.
class CIsolatedProfile
{
public:
    CIsolatedProfile()
    {
        SetProfileFile(m_dir.filePath(QStringLiteral("profile.ini")));
        res::ResetInterfaceLanguage();
    }
    ~CIsolatedProfile()
    {
        SetProfileFile(QString());
        res::ResetInterfaceLanguage();
    }
    QString FilePath(const QString& strName) const { return m_dir.filePath(strName); }

private:
    QTemporaryDir m_dir;
};

// Calls the handler once for every modal dialog that opens or comes back to the front while it
// lives; the handler closes it. By default a dialog is closed and message box texts are
// collected. A dialog the handler fails to close is reported and rejected after a few ticks, so
// a test can never hang on it.
// Progress dialogs are left alone: they close by themselves.
class CModalWatcher
{
public:
    using Handler = std::function<void(QWidget*)>;

    explicit CModalWatcher(Handler handler = Handler()) : m_handler(std::move(handler))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Answer(); });
        m_timer.start(10);
    }

    int GetSeen() const { return m_nSeen; }
    const QString& GetMessages() const { return m_strMessages; }

private:
    static constexpr int kMaxTries = 20;

    void Answer()
    {
        QWidget* p = QApplication::activeModalWidget();
        if (!p || !p->isVisible()) {
            m_pLast = nullptr;
            return;
        }
        if (qobject_cast<QProgressDialog*>(p))
            return;
        if (p == m_pLast) {
            if (++m_nTries >= kMaxTries) {
                ADD_FAILURE() << "modal " << p->metaObject()->className() << " \""
                              << p->windowTitle().toStdString() << "\" did not close";
                if (auto* pDialog = qobject_cast<QDialog*>(p))
                    pDialog->done(QDialog::Rejected);
                p->close();
            }
            // Answered once: a handler that presses OK through a queued call must not be asked
            // again before that call has run, which on a slow event loop takes several ticks.
            return;
        }
        m_pLast = p;
        m_nTries = 0;
        ++m_nSeen;
        if (auto* pBox = qobject_cast<QMessageBox*>(p))
            m_strMessages += pBox->text() + QLatin1Char('\n');
        if (m_handler)
            m_handler(p);
        else
            p->close();
    }

    Handler m_handler;
    QTimer m_timer;
    QPointer<QWidget> m_pLast;
    int m_nTries = 0;
    int m_nSeen = 0;
    QString m_strMessages;
};

// Runs the event loop for a while, so queued calls and timers get their turn.
inline void Pump(int nMs = 50)
{
    QEventLoop loop;
    QTimer::singleShot(nMs, &loop, &QEventLoop::quit);
    loop.exec();
}
