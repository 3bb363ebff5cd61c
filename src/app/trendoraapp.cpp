#include "app/trendoraapp.h"

#include "res/resource.h"
#include "settings/profile.h"

#include "app/languagetags.h"
#include "app/mainframe.h"
#include "settings/settingkeys.h"

#include <QIcon>

CTrendoraApp::CTrendoraApp(int& argc, char** argv) : m_app(argc, argv)
{
    QApplication::setOrganizationName(res::kCompanyKey);
    QApplication::setApplicationName(res::kApplicationName);
    QIcon icon;
    for (const int nSize : {16, 32, 256})
        icon.addFile(QStringLiteral(":/images/icon128-%1.png").arg(nSize));
    QApplication::setWindowIcon(icon);
}

CTrendoraApp::~CTrendoraApp() = default;

std::unique_ptr<CMainFrame> CTrendoraApp::StartUp()
{
    // Each comparison reads the entry afresh; a tag matches only exactly.
    for (const CLanguageTag& tag : kLanguageTags) {
        if (::ReadSettingText(QString(), QString::fromLatin1(settings::kEntryLangResourceDll)) ==
            QLatin1String(tag.szTag))
            res::ApplyInterfaceLanguage(tag.nLangId);
    }
    SeedSettings();
    auto pFrame = std::make_unique<CMainFrame>();
    if (!pFrame->Create())
        return nullptr;
    return pFrame;
}

bool CTrendoraApp::InitInstance()
{
    m_pMainWnd = StartUp();
    if (!m_pMainWnd)
        return false;
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
