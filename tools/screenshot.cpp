// trendora-screenshot OUT.png [RECORDING.csv] [LANGUAGE-ID]: renders the main window
// offscreen, with a recording open and the pointer over the plot, for the README and for
// reviews. trendora-screenshot --dialogs FOLDER [LANGUAGE-ID] renders every dialog instead.
#include "app/aboutdlg.h"
#include "app/mainframe.h"
#include "settings/colordlg.h"
#include "settings/rangedlg.h"
#include "settings/titledlg.h"
#include "curve/curvectrl.h"
#include "res/resources.h"
#include "settings/profile.h"
#include "view/childview.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: trendora-screenshot OUT.png [RECORDING.csv] [LANGUAGE-ID]\n");
        return 64;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A fresh profile, so the picture shows the settings a new user gets.
    QTemporaryDir dir;
    SetProfileFile(dir.filePath(QStringLiteral("profile.ini")));
    SeedSettings();
    if (argc > 3 && QString::fromLocal8Bit(argv[1]) != QLatin1String("--dialogs"))
        res::ApplyInterfaceLanguage(QString::fromLocal8Bit(argv[3]).toInt());

    // The about box that opens at start would block; close every dialog as it appears.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* p = QApplication::activeModalWidget())
            p->close();
    });
    closer.start(50);
    if (QString::fromLocal8Bit(argv[1]) == QLatin1String("--dialogs")) {
        const QString strFolder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(".");
        CRangeDlg limit;
        limit.OnInitDialog();
        CColorDlg color;
        color.OnInitDialog();
        CTitleDlg title;
        title.OnInitDialog();
        CAboutDlg about;
        const std::pair<QWidget*, const char*> dialogs[] = {
            {&limit, "limit"}, {&color, "color"}, {&title, "title"}, {&about, "about"}};
        for (const auto& [pDialog, szName] : dialogs) {
            pDialog->show();
            pDialog->grab().save(strFolder + QStringLiteral("/dialog-%1.png").arg(szName));
        }
        return 0;
    }

    CMainFrame frame;
    frame.Create();
    frame.show();
    QApplication::processEvents();
    CChildView* pView = frame.GetView();
    if (argc > 2 && !pView->OpenRecorderPath(QString::fromLocal8Bit(argv[2])))
        std::fprintf(stderr, "%s was not read completely\n", argv[2]);
    QApplication::processEvents();
    if (argc > 2) {
        pView->GetScaleChoice()->setCurrentIndex(5); // one day per screen
        pView->OnScaleChanged(5);
        CCurveCtrl* pPlot = pView->GetPlot();
        const QPointF pt(pPlot->width() * 0.62, pPlot->height() * 0.4);
        QMouseEvent move(QEvent::MouseMove, pt, pPlot->mapToGlobal(pt), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pPlot, &move);
    }
    QApplication::processEvents();
    QPixmap picture;
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        picture = frame.grab();
    } else {
        // On a real display (tools/make-screenshot.sh runs one under Xvfb) the picture is read
        // back from the screen once the window is shown and painted: what a user sees.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000 &&
               !(frame.windowHandle() && frame.windowHandle()->isExposed()))
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        while (waited.elapsed() < 5500)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        picture = frame.screen()->grabWindow(frame.winId());
    }
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
