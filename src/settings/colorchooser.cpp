#include "settings/colorchooser.h"

#include "res/colorref.h"

#include <QColorDialog>
#include <QSettings>

void ForgetStoredCustomColors()
{
    QSettings qtSettings(QSettings::UserScope, QStringLiteral("QtProject"));
    qtSettings.remove(QStringLiteral("Qt/customColors"));
}

bool ChooseColor(QWidget* pParent, std::uint32_t& crChosen)
{
    bool bChosen = false;
    {
        QColorDialog dlg(Qt::black, pParent);
        dlg.setOption(QColorDialog::DontUseNativeDialog);
        if (dlg.exec() == QDialog::Accepted) {
            crChosen = ColorToRef(dlg.selectedColor());
            bChosen = true;
        }
    }
    // The dialog wrote the custom colours to Qt's settings when it closed; the run keeps
    // them in memory only.
    ForgetStoredCustomColors();
    return bChosen;
}
