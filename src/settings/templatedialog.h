// A modal dialog laid out from one of the program's dialog templates, in the active language.
#pragma once

#include <QDialog>
#include <QHash>

class QLineEdit;

class CTemplateDialog : public QDialog
{
    Q_OBJECT

public:
    CTemplateDialog(int nTemplateId, QWidget* pParent);

    QWidget* GetControl(int nId) const { return m_controls.value(nId); }
    QLineEdit* GetEdit(int nId) const;

protected:
    // OK: checks and stores what the dialog edits; the dialog stays open when it returns
    // false.
    virtual bool OnOK() { return true; }

private:
    QHash<int, QWidget*> m_controls;
};
