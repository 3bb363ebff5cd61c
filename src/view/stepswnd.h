// View > Program Steps: a window beside the main one with the steps of the recording's test
// program, their figures and excursions, and the verdict; it follows the file, and the
// options of the analysis can be changed in it and are kept in the settings.
#pragma once

#include "analysis/programsteps.h"

#include <QWidget>

#include <functional>

class CShownRecording;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class CStepsTableModel;

class CStepsWnd : public QWidget
{
    Q_OBJECT

public:
    // Shows the steps of the recording pShown tells of, as a window of pParent's.
    CStepsWnd(CShownRecording* pShown, QWidget* pParent);

    const CStepOptions& Options() const { return m_options; }
    // The verdict and both tables as tab-separated lines, as Copy puts them on the clipboard.
    QString TablesText() const;
    // Hears the rows written so far and the rows in all; false stops the writing.
    using TablesProgress = std::function<bool(qint64 nDone, qint64 nTotal)>;
    // TablesText written into strText, which it replaces; false, and strText empty, once
    // progress stopped it.
    bool WriteTablesText(QString& strText, const TablesProgress& progress) const;

    QLabel* GetVerdictLabel() const { return m_pVerdict; }
    QTableView* GetStepTable() const { return m_pSteps; }
    QTableView* GetExcursionTable() const { return m_pExcursions; }
    QLineEdit* GetMinDwellBox() const { return m_pMinDwell; }
    QLineEdit* GetSettleWindowBox() const { return m_pSettle; }
    QLineEdit* GetDelayBox() const { return m_pDelay; }
    QLineEdit* GetTempToleranceBox() const { return m_pTolTemp; }
    QLineEdit* GetHumiToleranceBox() const { return m_pTolHumi; }
    QLabel* GetMessageLabel() const { return m_pMessage; }
    QPushButton* GetCopyButton() const { return m_pCopy; }

private:
    void ShowAnalysis();
    void ShowWaiting();
    void ShowSampleOf(const CStepsTableModel& model, int nRow);
    // A box's text read back: valid, it becomes the option and the analysis runs again;
    // otherwise the message names the box and its stored value comes back.
    void OnOptionEdited(QLineEdit* pBox);
    void ShowOptions();
    // Copy: the tables to the clipboard behind a progress window that can cancel it.
    void OnCopy();

    CShownRecording* m_pShown;
    CStepOptions m_options;
    QLabel* m_pVerdict = nullptr;
    QTableView* m_pSteps = nullptr;
    QTableView* m_pExcursions = nullptr;
    CStepsTableModel* m_pStepRows = nullptr;
    CStepsTableModel* m_pExcursionRows = nullptr;
    QLineEdit* m_pMinDwell = nullptr;
    QLineEdit* m_pSettle = nullptr;
    QLineEdit* m_pDelay = nullptr;
    QLineEdit* m_pTolTemp = nullptr;
    QLineEdit* m_pTolHumi = nullptr;
    QLabel* m_pMessage = nullptr;
    QPushButton* m_pCopy = nullptr;
    // While Copy writes the tables their rows must stay: an analysis that arrives meanwhile is
    // shown once it is done.
    bool m_bCopying = false;
    bool m_bShowPending = false;
};
