// The stored interface language: the tag in "LangResourceDLL", its language id and the
// Language menu command that chooses it.
#pragma once

#include "res/resource.h"
#include "res/resources.h"

struct CLanguageTag
{
    const char* szTag;
    int nLangId;
    int nCommand;
    const char* szHelpFile; // recorded per language, never opened
};

// In the order the stored tag is compared with them.
inline constexpr CLanguageTag kLanguageTags[3] = {
    {"LangCHT", res::kLangCHT, res::ID_LANG_CHT, "LangCHT.CHM"},
    {"LangCHS", res::kLangCHS, res::ID_LANG_CHS, "LangCHS.CHM"},
    {"LangENG", res::kLangENG, res::ID_LANG_ENG, "LangENG.CHM"},
};
