#include "res/resource.h"
#include "res/resources.h"

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr int kLanguages[] = {res::kLangCHT, res::kLangENG, res::kLangCHS};
constexpr int kDialogs[] = {res::IDD_ABOUTBOX, res::IDD_MAINFORM, res::IDD_LIMIT, res::IDD_TITLE,
                            res::IDD_COLOR};

// A drop-down list's template height includes its open list; closed it is one line.
constexpr int kClosedDropListHeight = 12;

const res::CControlDef* FindControl(const res::CDialogDef& def, int nId)
{
    for (const res::CControlDef& c : def.controls) {
        if (c.nId == nId)
            return &c;
    }
    return nullptr;
}

TEST(ResDialogs, EveryTemplateExistsInEveryLanguage)
{
    for (int nLangId : kLanguages) {
        for (int nId : kDialogs) {
            const res::CDialogDef* pDef = res::FindDialog(nId, nLangId);
            ASSERT_NE(pDef, nullptr) << nId << " in " << nLangId;
            EXPECT_EQ(pDef->nId, nId);
            EXPECT_FALSE(pDef->controls.empty());
        }
    }
    EXPECT_EQ(res::FindDialog(101, res::kLangENG), nullptr);
    EXPECT_EQ(res::FindDialog(res::IDD_ABOUTBOX, 1041), nullptr);
}

TEST(ResDialogs, VariantsShareControlsInTheSameOrder)
{
    for (int nId : kDialogs) {
        const res::CDialogDef& english = *res::FindDialog(nId, res::kLangENG);
        for (int nLangId : {res::kLangCHT, res::kLangCHS}) {
            const res::CDialogDef& def = *res::FindDialog(nId, nLangId);
            EXPECT_EQ(def.sizeDlu, english.sizeDlu) << nId << " in " << nLangId;
            ASSERT_EQ(def.controls.size(), english.controls.size()) << nId << " in " << nLangId;
            for (std::size_t i = 0; i < def.controls.size(); ++i) {
                EXPECT_EQ(def.controls[i].nId, english.controls[i].nId)
                    << nId << " #" << i << " in " << nLangId;
                EXPECT_EQ(def.controls[i].eKind, english.controls[i].eKind)
                    << nId << " #" << i << " in " << nLangId;
                EXPECT_EQ(def.controls[i].nStyle, english.controls[i].nStyle)
                    << nId << " #" << i << " in " << nLangId;
            }
        }
    }
}

TEST(ResDialogs, ControlIdsAreUniqueApartFromCaptions)
{
    for (int nLangId : kLanguages) {
        for (int nId : kDialogs) {
            std::set<int> ids;
            for (const res::CControlDef& c : res::FindDialog(nId, nLangId)->controls) {
                if (c.nId != res::kIdStatic) {
                    EXPECT_TRUE(ids.insert(c.nId).second) << c.nId << " in " << nId;
                }
            }
        }
    }
}

TEST(ResDialogs, EveryControlLiesInsideItsDialog)
{
    for (int nLangId : kLanguages) {
        for (int nId : kDialogs) {
            const res::CDialogDef& def = *res::FindDialog(nId, nLangId);
            const QRect rcDialog(QPoint(0, 0), def.sizeDlu);
            for (const res::CControlDef& c : def.controls) {
                QRect rc = c.rcDlu;
                if (c.eKind == res::EControlKind::DropList)
                    rc.setHeight(kClosedDropListHeight);
                EXPECT_FALSE(rc.isEmpty()) << c.nId << " in " << nId << "/" << nLangId;
                EXPECT_TRUE(rcDialog.contains(rc))
                    << c.nId << " " << c.strText.toStdString() << " in " << nId << "/" << nLangId;
            }
        }
    }
}

TEST(ResDialogs, OkIsTheOnlyDefaultButton)
{
    for (int nLangId : kLanguages) {
        for (int nId : kDialogs) {
            if (nId == res::IDD_MAINFORM)
                continue;
            int nDefaults = 0;
            for (const res::CControlDef& c : res::FindDialog(nId, nLangId)->controls) {
                if (c.eKind == res::EControlKind::DefPushButton) {
                    ++nDefaults;
                    EXPECT_EQ(c.nId, res::IDC_OK) << nId;
                    EXPECT_FALSE(c.strText.isEmpty()) << nId;
                }
            }
            EXPECT_EQ(nDefaults, 1) << nId << " in " << nLangId;
        }
    }
}

TEST(ResDialogs, MainFormHoldsEveryControlTheViewBinds)
{
    std::vector<int> ids = {res::IDC_SCALE,       res::IDC_DATE,      res::IDC_TIME,
                            res::IDC_NEXT_PAGE,   res::IDC_SCALEBAR,  res::IDC_LAST_PAGE,
                            res::IDC_FIRST_PAGE,  res::IDC_PREV_PAGE, res::IDC_TEMP_PV,
                            res::IDC_FILENAME,    res::IDC_PLOT,      res::IDC_HUMI_PV,
                            res::IDC_HUMI_SV,     res::IDC_TEMP_SV,   res::IDC_PAGE,
                            res::IDC_TOTAL_PAGES, res::IDC_TITLE};
    for (int i = 0; i < res::kAxisLabelCount; ++i) {
        ids.push_back(res::IDC_TEMP_AXIS0 + i);
        ids.push_back(res::IDC_HUMI_AXIS0 + i);
    }
    for (int k = 0; k < res::kTimeLabelCount; ++k) {
        ids.push_back(res::IDC_TIME_LABEL0 + k);
        ids.push_back(res::IDC_DATE_LABEL0 + k);
    }
    for (int nLangId : kLanguages) {
        const res::CDialogDef& def = *res::FindDialog(res::IDD_MAINFORM, nLangId);
        for (int nId : ids)
            EXPECT_NE(FindControl(def, nId), nullptr) << nId << " in " << nLangId;
    }
}

// Label i of an axis counts from the bottom: it sits on the plot's grid line i bands above the
// bottom edge and shows a value that rises by one fixed step per label.
TEST(ResDialogs, AxisLabelsRiseEvenlyAlongTheGridLines)
{
    const res::CDialogDef& def = *res::FindDialog(res::IDD_MAINFORM, res::kLangENG);
    const QRect rcPlot = FindControl(def, res::IDC_PLOT)->rcDlu;
    for (int nFirst : {res::IDC_TEMP_AXIS0, res::IDC_HUMI_AXIS0}) {
        const int nBottom = FindControl(def, nFirst)->strText.toInt();
        const int nStep = FindControl(def, nFirst + 1)->strText.toInt() - nBottom;
        EXPECT_GT(nStep, 0);
        for (int i = 0; i < res::kAxisLabelCount; ++i) {
            const res::CControlDef& label = *FindControl(def, nFirst + i);
            bool bOk = false;
            EXPECT_EQ(label.strText.toInt(&bOk), nBottom + i * nStep) << label.nId;
            EXPECT_TRUE(bOk) << label.nId;
            const int nGridY = rcPlot.top() + rcPlot.height() * (10 - i) / 10;
            EXPECT_EQ(label.rcDlu.top() + label.rcDlu.height() / 2, nGridY) << label.nId;
            EXPECT_LT(label.rcDlu.right(), rcPlot.left()) << label.nId;
        }
    }
}

TEST(ResDialogs, ActiveLanguageChoosesTheVariant)
{
    res::ApplyInterfaceLanguage(res::kLangCHT);
    EXPECT_EQ(res::FindDialog(res::IDD_MAINFORM),
              res::FindDialog(res::IDD_MAINFORM, res::kLangCHT));
    res::ApplyInterfaceLanguage(res::kLangCHS);
    EXPECT_EQ(res::FindDialog(res::IDD_MAINFORM),
              res::FindDialog(res::IDD_MAINFORM, res::kLangCHS));
    res::ResetInterfaceLanguage();
}

} // namespace
