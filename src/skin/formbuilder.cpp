#include "skin/formbuilder.h"

#include "skin/editvalidator.h"
#include "skin/statictext.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

QRect DluToPixels(const QRect& rcDlu)
{
    return QRect(rcDlu.x() * kPixelsPerDlu, rcDlu.y() * kPixelsPerDlu,
                 rcDlu.width() * kPixelsPerDlu, rcDlu.height() * kPixelsPerDlu);
}

QSize DluToPixels(const QSize& sizeDlu)
{
    return sizeDlu * kPixelsPerDlu;
}

void RegisterFontSubstitutions()
{
    static bool bDone = false;
    if (bDone)
        return;
    bDone = true;
    // Half-width Latin letters, like the face the forms were laid out with.
    const QStringList cjk = {QStringLiteral("PMingLiU"), QStringLiteral("WenQuanYi Zen Hei Mono"),
                             QStringLiteral("WenQuanYi Zen Hei"),
                             QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Sans CJK SC"),
                             QStringLiteral("Microsoft JhengHei"), QStringLiteral("PingFang TC"),
                             QStringLiteral("Heiti TC")};
    QFont::insertSubstitutions(QStringLiteral("細明體"), cjk);
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("Helvetica")});
}

QFont DialogFont(const QString& strFace, int nPointSize)
{
    RegisterFontSubstitutions();
    return MakePointFont(strFace, nPointSize * 10);
}

namespace {

Qt::Alignment AlignmentOf(unsigned nStyle)
{
    Qt::Alignment align = Qt::AlignLeft;
    if (nStyle & res::kStyleCenter)
        align = Qt::AlignHCenter;
    else if (nStyle & res::kStyleRight)
        align = Qt::AlignRight;
    return align | ((nStyle & res::kStyleVCenter) ? Qt::AlignVCenter : Qt::AlignTop);
}

QWidget* CreateControl(const res::CControlDef& c, QWidget* pParent)
{
    using res::EControlKind;
    switch (c.eKind) {
    case EControlKind::Static: {
        auto* p = new CStaticText(pParent);
        p->setText(c.strText);
        p->setAlignment(AlignmentOf(c.nStyle));
        p->setWordWrap(!(c.nStyle & res::kStyleVCenter));
        p->m_bNoPrefix = (c.nStyle & res::kStyleNoPrefix) || c.nId != res::kIdStatic;
        return p;
    }
    case EControlKind::Icon: {
        auto* p = new QLabel(pParent);
        p->setPixmap(QPixmap(QStringLiteral(":/images/icon128-32.png")));
        return p;
    }
    case EControlKind::Edit: {
        auto* p = new QLineEdit(c.strText, pParent);
        p->setReadOnly(c.nStyle & res::kStyleReadOnly);
        p->setAlignment(AlignmentOf(c.nStyle) & Qt::AlignHorizontal_Mask);
        p->setFrame(true);
        if (c.nStyle & res::kStyleNumber)
            EditValidatorOf(p)->m_bDigitsOnly = true;
        return p;
    }
    case EControlKind::PushButton:
    case EControlKind::DefPushButton: {
        auto* p = new QPushButton(c.strText, pParent);
        p->setAutoDefault(false);
        p->setDefault(c.eKind == EControlKind::DefPushButton);
        return p;
    }
    case EControlKind::CheckBox:
        return new QCheckBox(c.strText, pParent);
    case EControlKind::DropList: {
        auto* p = new QComboBox(pParent);
        p->setEditable(false);
        return p;
    }
    case EControlKind::HScrollBar:
        return new QScrollBar(Qt::Horizontal, pParent);
    case EControlKind::GroupBox:
        return new QGroupBox(c.strText, pParent);
    case EControlKind::Frame: {
        auto* p = new QFrame(pParent);
        p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return p;
    }
    }
    return new QWidget(pParent);
}

} // namespace

QHash<int, QWidget*> BuildForm(const res::CDialogDef& def, QWidget* pParent,
                               const ControlFactory& factory)
{
    QHash<int, QWidget*> controls;
    pParent->setFont(DialogFont(def.strFontFace, def.nPointSize));
    QWidget* pPrevious = nullptr;
    for (const res::CControlDef& c : def.controls) {
        QWidget* p = factory ? factory(c, pParent) : nullptr;
        if (!p)
            p = CreateControl(c, pParent);
        QRect rc = DluToPixels(c.rcDlu);
        // A drop-down list's template height includes its open list; closed it is one line.
        if (c.eKind == res::EControlKind::DropList)
            rc.setHeight(std::min(rc.height(), p->sizeHint().height()));
        // A fixed caption whose text runs wider than its box in the installed font grows
        // to fit rather than wrap or clip; the forms leave room beside their captions.
        if (c.nId == res::kIdStatic && c.eKind == res::EControlKind::Static) {
            const int nText = p->fontMetrics().horizontalAdvance(c.strText) + 2;
            if (nText > rc.width()) {
                const int nGrow = nText - rc.width();
                if (c.nStyle & res::kStyleRight)
                    rc.adjust(-nGrow, 0, 0, 0);
                else if (c.nStyle & res::kStyleCenter)
                    rc.adjust(-nGrow / 2, 0, nGrow - nGrow / 2, 0);
                else
                    rc.adjust(0, 0, nGrow, 0);
            }
        }
        p->setGeometry(rc);
        if (c.nStyle & res::kStyleHidden)
            p->hide();
        if (c.nId != res::kIdStatic) {
            p->setObjectName(QString::number(c.nId));
            controls.insert(c.nId, p);
        }
        if (p->focusPolicy() != Qt::NoFocus) {
            if (pPrevious)
                QWidget::setTabOrder(pPrevious, p);
            pPrevious = p;
        }
    }
    return controls;
}
