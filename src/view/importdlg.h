// The import dialog: how a file of another logger is read. It shows the file's columns with
// the role each is read as, every choice of the layout, and a preview of the first records as
// that layout reads them, which follows every change at once.
#pragma once

#include "recorder/layoutrecognition.h"
#include "view/importchoices.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTableWidget;

class CImportDlg : public QDialog
{
    Q_OBJECT

public:
    // strHead: the first part of the file, whole lines; recognition: the guess it starts from.
    CImportDlg(const QString& strFileName, std::string strHead, const CRecognition& recognition,
               QWidget* pParent = nullptr);

    // The layout chosen, named as the name box says, with the file's header.
    CLayout GetLayout() const;

protected:
    void accept() override;

private:
    void BuildChoices(class QGridLayout* pGrid);
    // The choices from the boxes, then the preview and, when the column count changed, the
    // columns' boxes.
    void OnChoiceChanged();
    void OnRoleChosen(int nColumn, int nRole);
    void ShowChoices();
    void ShowColumns(const CLayoutPreview& preview);
    void ShowPreview(const CLayoutPreview& preview);
    void Refresh();

    std::string m_strHead;
    CLayout m_base; // the guess, with its header
    CImportChoices m_choices;
    CLayout m_layout;

    QLabel* m_pDoubt = nullptr;
    QLineEdit* m_pName = nullptr;
    QTableWidget* m_pColumns = nullptr;
    std::vector<QComboBox*> m_arrRoleBoxes;
    QComboBox* m_pDelimiter = nullptr;
    QComboBox* m_pDecimal = nullptr;
    QComboBox* m_pQuote = nullptr;
    QSpinBox* m_pSkip = nullptr;
    QSpinBox* m_pHeader = nullptr;
    QComboBox* m_pDateOrder = nullptr;
    QComboBox* m_pClock = nullptr;
    QComboBox* m_pZone = nullptr;
    QSpinBox* m_pOffset = nullptr;
    QComboBox* m_pTempUnit = nullptr;
    QCheckBox* m_pUnitInCells = nullptr;
    QComboBox* m_pEncoding = nullptr;
    QTableWidget* m_pPreview = nullptr;
    QListWidget* m_pFaults = nullptr;
};
