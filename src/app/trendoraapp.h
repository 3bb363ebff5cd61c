// The application object: start-up, and the profile operations through which the program
// reads and writes its settings.
#pragma once

#include <QApplication>
#include <QString>

#include <memory>

class CMainFrame;

class CTrendoraApp
{
public:
    CTrendoraApp(int& argc, char** argv);
    ~CTrendoraApp();

    // The organisation, name and version the application reports; needs no display.
    static void SetIdentity();

    // Applies the stored interface language, seeds the settings and makes the main frame;
    // null if the frame could not be made. Once the event loop runs the frame opens
    // openAtStart, if given, as File > Open would. Needs a running QApplication.
    static std::unique_ptr<CMainFrame> StartUp(const QStringList& openAtStart = QStringList());
    // Makes the language the profile names the interface language, if it names one exactly.
    static void ApplyStoredLanguage();

    // StartUp, then shows the main window; false if it could not start.
    bool InitInstance(const QStringList& openAtStart = QStringList());
    // InitInstance, then runs the event loop; the process's exit code.
    int Run(const QStringList& openAtStart = QStringList());
    CMainFrame* GetMainFrame() const { return m_pMainWnd.get(); }

    int ReadSettingInt(const QString& section, const QString& entry, int nDefault) const;
    bool WriteSettingInt(const QString& section, const QString& entry, int nValue);
    QString ReadSettingText(const QString& section, const QString& entry,
                            const QString& strDefault = QString()) const;
    bool WriteSettingText(const QString& section, const QString& entry, const QString& value);

private:
    QApplication m_app;
    std::unique_ptr<CMainFrame> m_pMainWnd;
};
