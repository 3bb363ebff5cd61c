#include "settings/templatedialog.h"

#include "res/resource.h"
#include "res/resources.h"
#include "skin/formbuilder.h"

#include <QLineEdit>
#include <QPushButton>

CTemplateDialog::CTemplateDialog(int nTemplateId, QWidget* pParent) : QDialog(pParent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const res::CDialogDef* pDef = res::FindDialog(nTemplateId);
    if (!pDef)
        return;
    setWindowTitle(pDef->strCaption);
    setFixedSize(DluToPixels(pDef->sizeDlu));
    m_controls = BuildForm(*pDef, this);
    if (auto* pOk = qobject_cast<QPushButton*>(m_controls.value(res::IDC_OK))) {
        pOk->setAutoDefault(true);
        pOk->setDefault(true);
        connect(pOk, &QPushButton::clicked, this, [this] {
            if (OnOK())
                accept();
        });
    }
    if (auto* pCancel = qobject_cast<QPushButton*>(m_controls.value(res::IDC_CANCEL)))
        connect(pCancel, &QPushButton::clicked, this, &QDialog::reject);
    // The first control in tab order takes the focus, as the templates intend.
    for (const res::CControlDef& c : pDef->controls) {
        QWidget* p = m_controls.value(c.nId);
        if (p && p->focusPolicy() != Qt::NoFocus) {
            p->setFocus();
            break;
        }
    }
}

QLineEdit* CTemplateDialog::GetEdit(int nId) const
{
    return qobject_cast<QLineEdit*>(m_controls.value(nId));
}
