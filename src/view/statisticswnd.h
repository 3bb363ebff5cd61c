// View > Statistics: a window beside the main one with the figures of the whole recording and
// of the page on screen and of the selection, which follow the paging, the scale and the file; the
// tolerances of the PV-SV comparison can be changed in it and are kept in the settings.
#pragma once

#include "analysis/runstatistics.h"

#include <QWidget>

#include <cstdint>

class CShownRecording;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CStatisticsWnd : public QWidget
{
    Q_OBJECT

public:
    // Shows the recording pShown tells of, as a window of pParent's.
    CStatisticsWnd(CShownRecording* pShown, QWidget* pParent);

    // The table as tab-separated lines with its heading, as Copy puts it on the clipboard.
    QString TableText() const;

    QTableWidget* GetTable() const { return m_pTable; }
    QLineEdit* GetTempToleranceBox() const { return m_pTolTemp; }
    QLineEdit* GetHumiToleranceBox() const { return m_pTolHumi; }
    QPushButton* GetCopyButton() const { return m_pCopy; }

    // Figure rows: five per curve (minimum, its time, maximum, its time, mean), then three
    // for Temp and three for Humi against their set values (within, largest, its time).
    static constexpr int kRowCount = 4 * 5 + 2 * 3;
    static constexpr int kWholeColumn = 2;
    static constexpr int kPageColumn = 3;
    static constexpr int kSelectionColumn = 4;
    // Then, while several recordings are shown, one column for each of the others.
    static constexpr int kFirstMemberColumn = 5;

private:
    // The table with its curve and figure names, and a dash for every figure until it is known.
    void BuildTable();
    // The boxes for the two tolerances with their captions, laid out in a grid.
    QLayout* BuildToleranceBoxes();
    // Copy and Close, at the right.
    QLayout* BuildButtons();
    // Wide and tall enough for every figure without scrolling, once the figures are in.
    void FitTableToContents();
    void UpdateWhole();
    void UpdatePage();
    void UpdateSelection();
    void FillColumn(int nColumn, const CRunStatistics& stats);
    void FillColumn(int nColumn, const CRunStatistics& stats, std::uint32_t tFirst);
    // A column of whole-recording figures for every recording shown beside the first.
    void UpdateMembers();
    // The files of a joined recording and where they meet, below the figures.
    void UpdateJoin();
    void LabelToleranceRows();
    void OnToleranceEdited(QLineEdit* pBox, int CTolerances::*pMember);
    // Another window changed the stored tolerances.
    void OnStoredTolerancesChanged();

    CShownRecording* m_pShown;
    QTableWidget* m_pTable = nullptr;
    QLineEdit* m_pTolTemp = nullptr;
    QLineEdit* m_pTolHumi = nullptr;
    QLabel* m_pMessage = nullptr;
    QLabel* m_pJoin = nullptr; // the files joined and where they meet
    QPushButton* m_pCopy = nullptr;
    CTolerances m_tolerances;
};
