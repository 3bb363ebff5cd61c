// Helpers for tests that drive real windows: an isolated settings profile, and a watcher that
// answers modal dialogs as they open.
#pragma once

#include "res/resources.h"
#include "settings/profile.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

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

// Calls the handler for every modal dialog that opens while it lives; the handler closes it.
// By default a dialog is rejected and message box texts are collected.
class CModalWatcher
{
public:
    using Handler = std::function<void(QWidget*)>;

    explicit CModalWatcher(Handler handler = Handler()) : m_handler(std::move(handler))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget* p = QApplication::activeModalWidget();
            // A slow load's progress window is no question to answer: closing it cancels.
            if (!p || !p->isVisible() || qobject_cast<QProgressDialog*>(p))
                return;
            ++m_nSeen;
            if (auto* pBox = qobject_cast<QMessageBox*>(p))
                m_strMessages += pBox->text() + QLatin1Char('\n');
            if (m_handler)
                m_handler(p);
            else
                p->close();
        });
        m_timer.start(10);
    }

    int GetSeen() const { return m_nSeen; }
    const QString& GetMessages() const { return m_strMessages; }

private:
    Handler m_handler;
    QTimer m_timer;
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
