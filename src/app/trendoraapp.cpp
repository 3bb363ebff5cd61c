#include "app/trendoraapp.h"

#include "res/resource.h"
#include "res/version.h"
#include "settings/profile.h"

#include "app/languagetags.h"
#include "app/mainframe.h"
#include "settings/settingkeys.h"

#include <QIcon>

CTrendoraApp::CTrendoraApp(int& argc, char** argv) : m_app(argc, argv)
{
    SetIdentity();
    QIcon icon;
    for (const int nSize : {16, 32, 256})
        icon.addFile(QStringLiteral(":/images/icon128-%1.png").arg(nSize));
    QApplication::setWindowIcon(icon);
}

CTrendoraApp::~CTrendoraApp() = default;

void CTrendoraApp::SetIdentity()
{
    QCoreApplication::setOrganizationName(QString::fromLatin1(res::kCompanyKey));
    QCoreApplication::setApplicationName(QString::fromLatin1(res::kApplicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(res::kVersion));
}

void CTrendoraApp::ApplyStoredLanguage()
{
    // Each comparison reads the entry afresh; a tag matches only exactly.
    for (const CLanguageTag& tag : kLanguageTags) {
        if (::ReadSettingText(QString(), QString::fromLatin1(settings::kEntryLangResourceDll)) ==
            QLatin1String(tag.szTag))
            res::ApplyInterfaceLanguage(tag.nLangId);
    }
}

std::unique_ptr<CMainFrame> CTrendoraApp::StartUp(const QStringList& openAtStart)
{
    ApplyStoredLanguage();
    SeedSettings();
    auto pFrame = std::make_unique<CMainFrame>();
    if (!pFrame->Create(openAtStart))
        return nullptr;
    return pFrame;
}

bool CTrendoraApp::InitInstance(const QStringList& openAtStart)
{
    m_pMainWnd = StartUp(openAtStart);
    if (!m_pMainWnd)
        return false;
    m_pMainWnd->show();
    return true;
}

int CTrendoraApp::Run(const QStringList& openAtStart)
{
    if (!InitInstance(openAtStart))
        return 1;
    return m_app.exec();
}

int CTrendoraApp::ReadSettingInt(const QString& section, const QString& entry, int nDefault) const
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
