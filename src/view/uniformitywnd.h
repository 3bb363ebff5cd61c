// View > Uniformity: a window beside the main one that compares the recordings shown side by
// side over the seconds they all cover, the selection or a dwell of the program steps: each
// one's mean, extremes, fluctuation and deviation from the set value, the spread across them
// and the gradient. Copy puts the same tab-separated lines on the clipboard that
// trendora --uniformity prints.
#pragma once

#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class CShownRecording;
struct CSetValueChoice;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CUniformityWnd : public QWidget
{
    Q_OBJECT

public:
    // Compares the recordings pShown tells of, as a window of pParent's.
    CUniformityWnd(CShownRecording* pShown, QWidget* pParent);

    // The figures as tab-separated lines with their heading and the seconds judged, as Copy
    // puts them on the clipboard.
    QString TableText() const;

    QTableWidget* GetTable() const { return m_pTable; }
    QComboBox* GetStretchBox() const { return m_pStretch; }
    QComboBox* GetSetValueBox() const { return m_pSetValue; }
    QLineEdit* GetTempBox() const { return m_pTemp; }
    QLineEdit* GetHumiBox() const { return m_pHumi; }
    QLabel* GetMessageLabel() const { return m_pMessage; }
    QPushButton* GetCopyButton() const { return m_pCopy; }

private:
    QLayout* BuildChoices();
    QLayout* BuildButtons();
    // The stretches to choose from: all common seconds, the selection, every dwell of the
    // first recording with set values; the choice made stays where it still exists.
    void FillStretches();
    // The dwells of the first recording with set values, in common seconds [first, end).
    void FindDwells();
    std::optional<std::pair<std::int64_t, std::int64_t>> CurrentStretch() const;
    // The set values chosen, or nothing (said, naming the box) for a typed text that is no
    // number.
    std::optional<CSetValueChoice> ReadSetValues();
    void Update();
    void ShowLines(const QStringList& lines);

    CShownRecording* m_pShown;
    QComboBox* m_pStretch = nullptr;
    QComboBox* m_pSetValue = nullptr;
    QLineEdit* m_pTemp = nullptr;
    QLineEdit* m_pHumi = nullptr;
    QLabel* m_pTempCaption = nullptr;
    QLabel* m_pHumiCaption = nullptr;
    QLabel* m_pMessage = nullptr;
    QTableWidget* m_pTable = nullptr;
    QPushButton* m_pCopy = nullptr;
    // The common seconds [first, end) of each stretch choice, in the box's order.
    std::vector<std::pair<std::int64_t, std::int64_t>> m_stretches;
    std::vector<std::pair<std::int64_t, std::int64_t>> m_dwells;
    QStringList m_lines; // what Copy copies
};
