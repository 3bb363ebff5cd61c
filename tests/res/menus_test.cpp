#include "res/resource.h"
#include "res/resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

constexpr int kLanguages[] = {res::kLangCHT, res::kLangENG, res::kLangCHS};

std::vector<int> SortedCommands(const res::CMenuPopupDef& popup)
{
    std::vector<int> commands;
    for (const res::CMenuItemDef& item : popup.items)
        commands.push_back(item.nCommand);
    std::sort(commands.begin(), commands.end());
    return commands;
}

std::vector<res::CMenuItemDef> CheckedItems(int nLangId)
{
    std::vector<res::CMenuItemDef> checked;
    for (const res::CMenuPopupDef& popup : res::LoadMenu(res::IDR_MAINFRAME, nLangId)) {
        for (const res::CMenuItemDef& item : popup.items) {
            if (item.bChecked)
                checked.push_back(item);
        }
    }
    return checked;
}

TEST(ResMenu, EveryLanguageHasTheSameCommandsInEachPopup)
{
    const auto english = res::LoadMenu(res::IDR_MAINFRAME, res::kLangENG);
    ASSERT_FALSE(english.empty());
    for (int nLangId : {res::kLangCHT, res::kLangCHS}) {
        const auto menu = res::LoadMenu(res::IDR_MAINFRAME, nLangId);
        ASSERT_EQ(menu.size(), english.size()) << nLangId;
        for (std::size_t i = 0; i < menu.size(); ++i)
            EXPECT_EQ(SortedCommands(menu[i]), SortedCommands(english[i]))
                << "popup " << i << " in " << nLangId;
    }
}

TEST(ResMenu, EveryPopupAndItemHasTextExceptSeparators)
{
    for (int nLangId : kLanguages) {
        for (const res::CMenuPopupDef& popup : res::LoadMenu(res::IDR_MAINFRAME, nLangId)) {
            EXPECT_FALSE(popup.strText.isEmpty()) << nLangId;
            EXPECT_FALSE(popup.items.empty()) << nLangId;
            for (const res::CMenuItemDef& item : popup.items) {
                EXPECT_EQ(item.nCommand == 0, item.strText.isEmpty())
                    << item.nCommand << " in " << nLangId;
            }
        }
    }
}

TEST(ResMenu, NoCommandAppearsTwice)
{
    for (int nLangId : kLanguages) {
        std::map<int, int> seen;
        for (const res::CMenuPopupDef& popup : res::LoadMenu(res::IDR_MAINFRAME, nLangId)) {
            for (const res::CMenuItemDef& item : popup.items) {
                if (item.nCommand != 0) {
                    EXPECT_EQ(++seen[item.nCommand], 1) << item.nCommand << " in " << nLangId;
                }
            }
        }
    }
}

TEST(ResMenu, EachTemplateChecksItsOwnLanguageAndEveryCurve)
{
    const std::map<int, int> ownLanguageItem = {{res::kLangCHT, res::ID_LANG_CHT},
                                                {res::kLangENG, res::ID_LANG_ENG},
                                                {res::kLangCHS, res::ID_LANG_CHS}};
    for (int nLangId : kLanguages) {
        std::vector<int> checked;
        for (const res::CMenuItemDef& item : CheckedItems(nLangId))
            checked.push_back(item.nCommand);
        std::sort(checked.begin(), checked.end());
        std::vector<int> want = {res::ID_VIEW_TEMP_PV, res::ID_VIEW_HUMI_PV, res::ID_VIEW_HUMI_SV,
                                 res::ID_VIEW_TEMP_SV, ownLanguageItem.at(nLangId)};
        std::sort(want.begin(), want.end());
        EXPECT_EQ(checked, want) << nLangId;
    }
}

TEST(ResToolbar, ElevenButtonsThatAreAllMenuCommands)
{
    const std::vector<int>& toolbar = res::ToolbarCommands();
    ASSERT_FALSE(toolbar.empty());
    EXPECT_NE(toolbar.front(), 0);
    EXPECT_NE(toolbar.back(), 0);
    // Bitmap 131 holds one picture per button.
    EXPECT_EQ(std::count_if(toolbar.begin(), toolbar.end(), [](int n) { return n != 0; }), 11);
    for (int nLangId : kLanguages) {
        std::vector<int> menuCommands;
        for (const res::CMenuPopupDef& popup : res::LoadMenu(res::IDR_MAINFRAME, nLangId)) {
            for (const res::CMenuItemDef& item : popup.items)
                menuCommands.push_back(item.nCommand);
        }
        for (int nCommand : toolbar) {
            if (nCommand == 0)
                continue;
            EXPECT_NE(std::find(menuCommands.begin(), menuCommands.end(), nCommand),
                      menuCommands.end())
                << nCommand << " in " << nLangId;
        }
    }
}

} // namespace
