#include "settings/colorchooser.h"

#include "res/colorref.h"

#include <QColorDialog>

namespace {

// Qt holds the custom colours once per process and writes them to the store it shares with
// every Qt program whenever a colour dialog is destroyed (and only then). So there is one
// chooser for the whole run, and it is never destroyed: the run's custom colours live in
// memory only and the shared store is left as it was. Reachable from here to the end, so it
// is no leak.
QColorDialog& Chooser()
{
    static QColorDialog* s_pChooser = nullptr;
    if (!s_pChooser) {
        s_pChooser = new QColorDialog;
        s_pChooser->setOption(QColorDialog::DontUseNativeDialog);
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, Qt::white);
    }
    return *s_pChooser;
}

} // namespace

bool ChooseColor(QWidget* pParent, std::uint32_t& crChosen)
{
    QColorDialog& dlg = Chooser();
    // Shown over the window that asked, but given back afterwards: an owner would destroy it.
    dlg.setParent(pParent, dlg.windowFlags());
    dlg.setCurrentColor(Qt::black);
    const bool bChosen = dlg.exec() == QDialog::Accepted;
    dlg.setParent(nullptr, dlg.windowFlags());
    if (bChosen)
        crChosen = ColorToRef(dlg.selectedColor());
    return bChosen;
}
