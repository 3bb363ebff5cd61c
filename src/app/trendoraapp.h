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

    // Applies the stored interface language, seeds the settings and makes the main frame;
    // null if the frame could not be made. Needs a running QApplication.
    static std::unique_ptr<CMainFrame> StartUp();
    // Makes the language the profile names the interface language, if it names one exactly.
    static void ApplyStoredLanguage();

    // StartUp, then shows the main window; false if it could not start.
    bool InitInstance();
    int Run();
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
