#include "res/resources.h"

namespace res {

namespace {

// 0 while no language has been applied. Only the user-interface thread touches it.
int g_nAppliedLanguage = 0;

bool IsInterfaceLanguage(int nLangId)
{
    return nLangId == kLangCHT || nLangId == kLangENG || nLangId == kLangCHS;
}

} // namespace

int DefaultLanguageForLocale(const QLocale& locale)
{
    if (locale.language() != QLocale::Chinese)
        return kLangENG;
    if (locale.script() == QLocale::TraditionalChineseScript)
        return kLangCHT;
    switch (locale.territory()) {
    case QLocale::Taiwan:
    case QLocale::HongKong:
    case QLocale::Macao:
        return kLangCHT;
    default:
        return kLangCHS;
    }
}

void ApplyInterfaceLanguage(int nLangId)
{
    if (IsInterfaceLanguage(nLangId))
        g_nAppliedLanguage = nLangId;
}

int ActiveLanguage()
{
    return g_nAppliedLanguage != 0 ? g_nAppliedLanguage
                                   : DefaultLanguageForLocale(QLocale::system());
}

void ResetInterfaceLanguage()
{
    g_nAppliedLanguage = 0;
}

} // namespace res
