#include "app/aboutdlg.h"

#include "res/resource.h"
#include "res/resources.h"
#include "skin/formbuilder.h"

#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    if (const res::CDialogDef* pDef = res::FindDialog(res::IDD_ABOUTBOX)) {
        setWindowTitle(pDef->strCaption);
        setFixedSize(DluToPixels(pDef->sizeDlu));
        const QHash<int, QWidget*> controls = BuildForm(*pDef, this);
        if (auto* pOk = qobject_cast<QPushButton*>(controls.value(res::IDC_OK))) {
            connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
            pOk->setFocus();
        }
    }
}
