#include "app/trendoraapp.h"

#include "res/resource.h"
#include "settings/profile.h"

#include <QMainWindow>

CTrendoraApp::CTrendoraApp(int& argc, char** argv) : m_app(argc, argv)
{
    QApplication::setOrganizationName(res::kCompanyKey);
    QApplication::setApplicationName(res::kApplicationName);
}

CTrendoraApp::~CTrendoraApp() = default;

bool CTrendoraApp::InitInstance()
{
    SeedSettings();
    m_pMainWnd = std::make_unique<QMainWindow>();
    m_pMainWnd->setWindowTitle(res::kApplicationName);
    m_pMainWnd->resize(1016, 616);
    m_pMainWnd->show();
    return true;
}

int CTrendoraApp::Run()
{
    if (!InitInstance())
        return 1;
    return m_app.exec();
}

int CTrendoraApp::ReadSettingInt(const QString& section, const QString& entry,
                                 int nDefault) const
{
    return ::ReadSettingInt(section, entry, nDefault);
}

bool CTrendoraApp::WriteSettingInt(const QString& section, const QString& entry, int nValue)
{
    return ::WriteSettingInt(section, entry, nValue);
}

QString CTrendoraApp::ReadSettingText(const QString& section, const QString& entry,
                                      const QString& strDefault) const
{
    return ::ReadSettingText(section, entry, strDefault);
}

bool CTrendoraApp::WriteSettingText(const QString& section, const QString& entry,
                                    const QString& value)
{
    return ::WriteSettingText(section, entry, value);
}
