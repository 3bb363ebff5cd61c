// The main view: the form with the plot, its axis, time and date labels, the readouts and the
// paging controls. It handles the commands of the menu and toolbar before the frame does.
#pragma once

#include "analysis/programsteps.h"
#include "recording/recording.h"
#include "recording/recordingset.h"
#include "skin/bitmapformview.h"
#include "view/commandui.h"
#include "view/filework.h"
#include "view/pageoutput.h"
#include "view/pager.h"
#include "view/pagesource.h"
#include "view/selection.h"
#include "view/shownrecording.h"

#include <QEvent>
#include <QHash>
#include <QImage>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CCurve;
class CCurveCtrl;
class COffsetDlg;
class CStepsAnalyser;
struct CStepOptions;
struct CLayout;
struct CLoadResult;
struct COpenResult;
struct CRecognition;
class CStaticText;
class CStatisticsWnd;
class CStepsWnd;
class QComboBox;
class QFileDialog;
class QPainter;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPrintDialog;
class QPrinter;
class QScrollBar;

class CChildView : public CBitMapFormView, public IRecordingHost, public IPageSource
{
    Q_OBJECT

public:
    // Scroll codes of the scale bar.
    enum EScroll
    {
        kLineLeft,
        kLineRight,
        kPageLeft,
        kPageRight,
        kThumbPosition, // end of a drag
        kThumbTrack,
        kLeftEnd,
        kRightEnd,
        kEndScroll,
    };

    explicit CChildView(ICommandUi* pUi, QWidget* pParent = nullptr);
    ~CChildView() override;

    // The form's full design size in pixels.
    static QSize FormSize();
    // The plot's width in pixels, which the pages are cut to.
    static int PlotWidth();

    // Reads the settings and sets up curves, labels and paging; safe to run again.
    void OnInitialUpdate();

    // Runs a command; false if the view has no handler for it.
    bool OnCommand(int nId);
    bool HasCommand(int nId) const;

    void UpdateVerticalAxes(int nMaxTemp, int nMinTemp, int nMaxHumi, int nMinHumi);

    // File Open: asks for a recorder file and shows it from its first page.
    void OpenRecorderFile();
    // Reads strPath into the curves; false if it was not read completely (a message says
    // why), if the user cancelled, or while another file is being read. A file of another
    // logger reads by its recognised layout, or by one saved for its header; when its layout
    // is in doubt the import dialog asks for it.
    bool OpenRecorderPath(const QString& strPath);
    // Several files at once: those that follow one another as one joined recording (the
    // status bar names the files and where they meet), others side by side; one file as
    // OpenRecorderPath. False when nothing was shown, a file had a fault, or the user
    // cancelled.
    bool OpenRecorderPaths(const QStringList& paths);
    // File > Import: asks for a file and how to read it, saves that layout and reads the file.
    void OnFileImport();
    // Shows what a load read (result.bHaveFirstRecord holds), titled strTitle, from its first
    // page as File Open does; takes the recording. The paging resets once events are
    // processed.
    void ShowRecording(CLoadResult& result, const QString& strTitle);
    // The same for a recording that others may read too.
    void ShowRecording(std::shared_ptr<const CRecording> pRecording, const QString& strTitle);
    // The recording shown, or null before a file is opened and after Close.
    const std::shared_ptr<const CRecording>& GetRecording() const { return m_pRecording; }
    // Its samples; none without one.
    CRecordingView RecordingView() const
    {
        return m_pRecording ? m_pRecording->View() : CRecordingView();
    }
    // Its seconds, a sample each; none without one.
    std::int64_t RecordedSeconds() const { return m_pRecording ? m_pRecording->GetCount() : 0; }
    // While a file is read, commands, drops and closing are refused.
    bool IsLoading() const { return m_fileWork.IsBusy(); }
    // Stops the file being read, as its Cancel button does.
    void CancelLoad() { m_fileWork.Cancel(); }
    void CloseRecorderFile();

    // Several recordings side by side on one time line. Member 0 is the one opened first:
    // the paging, selection, export, statistics and steps speak of it; with it alone the view
    // is as with one file.
    const CRecordingSet& RecordingSet() const { return m_set; }
    // Shows pRecording beside those shown, named strPath's file; false when none is shown yet
    // or kMaxRecordings are.
    bool AddRecording(std::shared_ptr<const CRecording> pRecording,
                      const QString& strPath = QString());
    // Closes member i; the next becomes member i. Closing the last one closes the file.
    void CloseRecording(std::size_t i);
    // How the members are placed before their offsets; kept in the settings.
    void SetAlignment(EAlignment eAlignment);
    // Seconds added to member i's times on the common line.
    void SetRecordingOffset(std::size_t i, std::int64_t nSeconds);
    // File > Add Recording: asks for a file and shows it beside those shown (or alone).
    void OnAddRecording();
    // The legend's context menu for member i: close it, its offset, the alignment.
    void FillLegendMenu(QMenu& menu, std::size_t i);
    // Asks for member i's offset and applies it.
    void OnRecordingOffset(std::size_t i);

    // Settings commands
    void OnToggleCurve(int nCommand);
    void OnLimit();
    void OnCurveColor();
    void OnBackgroundColor();
    void OnTitle();
    void OnHideTitle();

    // Output commands: the picture of the plot and its labels, saved or printed per page.
    void OnFileSaveAs();
    void OnFilePrint();
    // Save as without the dialog: the picture of the page shown, in the format strPath's
    // suffix names. Returns why nothing was written, or an empty text.
    QString SavePicture(const QString& strPath);
    // The picture Save as writes for the page shown; null when the view is too small.
    QImage TakePicture();
    // File > Copy Picture: that picture to the clipboard.
    void OnCopyPicture();
    // View > Statistics: opens the statistics window, or brings it to the front.
    void OnStatistics();
    CStatisticsWnd* GetStatisticsWindow() const;
    // View > Program Steps: opens the steps window, or brings it to the front.
    void OnProgramSteps();
    CStepsWnd* GetStepsWindow() const;
    // View > Mark Steps: the steps' starts and excursions on the plot, on or off.
    void OnMarkSteps();
    bool IsMarkingSteps() const { return m_bMarkSteps; }
    // The analysis of the recording's steps, shared by the window and the marks.
    CStepsAnalyser* GetStepsAnalyser() const { return m_pSteps; }
    // Analyses the steps again with these options; the marks follow once it is done.
    void AnalyseSteps(const CStepOptions& options) override;
    // The same, finished before returning, for report runs.
    void AnalyseStepsNow(const CStepOptions& options);
    // Takes an analysis of the whole recording made with these options, for report runs.
    void AdoptSteps(const CStepOptions& options, std::shared_ptr<const CProgramAnalysis> pAnalysis);
    // Shows the page that holds sample nIndex at the scale on screen.
    void ShowPageOf(std::int64_t nIndex) override;
    // What the statistics and steps windows see of the view.
    CShownRecording* GetShown() const { return m_pShown; }
    // Print without the dialog: pages nFrom to nTo, one sheet each, centred at screen size;
    // the view stays on page nTo. fnBeforePage hears each page number before its sheet.
    // fnLastSheet, if given, draws one more sheet after the pages into the printable area,
    // and returns false when it could not draw all it had to. A page or sheet that could not
    // be started, or a last sheet that fell short, makes the printing Failed.
    using EPrintResult = CPageOutput::EPrintResult;
    EPrintResult PrintPages(QPrinter& printer, int nFrom, int nTo,
                            const std::function<void(int)>& fnBeforePage = {},
                            const std::function<bool(QPainter&, const QRect&)>& fnLastSheet = {});

    // Paging
    void ApplyPage();
    void UpdateTimeLabels();
    void ResetPaging(int nSecondsPerPixel);
    void OnScaleBarScroll(EScroll eCode, int nPos);
    void OnScaleChanged(int nItem);
    void OnFirstPage();
    void OnPrevPage();
    void OnNextPage();
    void OnLastPage();
    void OnPageBoxLostFocus();
    // Writes the page box; ApplyPage runs even when the text stays the same.
    void SetPageText(const QString& strText);
    int ReadPageNumber() const;
    int GetSecondsPerPixel() const;

    // The readout of the values and time under the pointer at plot column x.
    void ShowCursorValues(int x, int y);

    CCurveCtrl* GetPlot() const { return m_pPlot; }
    CStaticText* GetLabel(int nId) const;
    QWidget* GetControl(int nId) const { return m_controls.value(nId); }
    QComboBox* GetScaleChoice() const { return m_pScale; }
    QScrollBar* GetScaleBar() const { return m_pScaleBar; }
    QLineEdit* GetPageBox() const { return m_pPage; }
    QLineEdit* GetTotalPagesBox() const { return m_pTotal; }

    // The first record's time: low 32 bits of seconds since 1970-01-01 00:00 UTC.
    std::uint32_t m_tFirstSample = 0;
    // Until a file is opened there is no first time: the time and date labels stay empty.
    bool m_bHaveFirstSample = false;

    // The selection: seconds nFirst to nLast after the first sample, both included, which the
    // plot marks with a band on screen. Clamped to the recording; none without one.
    void SetSelection(std::int64_t nFirst, std::int64_t nLast);
    void ClearSelection();
    bool HasSelection() const { return m_selection.HasSelection(); }
    std::int64_t GetSelectionFirst() const { return m_selection.GetFirst(); }
    std::int64_t GetSelectionLast() const { return m_selection.GetLast(); }
    // "first – last, h:mm:ss" for the status bar; empty without a selection.
    QString SelectionText() const;
    // File > Export: asks for the interval and the file, then writes the selection, or the
    // whole recording without one.
    void OnExport();
    // The export without the dialogs; returns why nothing was written, or an empty text (also
    // after Cancel).
    QString ExportTo(const QString& strPath, int nInterval);
    // The first record's full time; m_tFirstSample keeps its low 32 bits.
    std::int64_t m_tFirstTime = 0;

protected:
    // Show the open-file and print dialogs and return their results. Tests answer them here:
    // the platform's dialogs cannot be driven like Trendora's own, and Qt's file dialog
    // depends on state it keeps in the user's home folder.
    virtual int ExecOpenDialog(QFileDialog& dlg);
    // The file the user chooses to read, or empty.
    QString AskFileToRead();
    // The files the user chooses to open, several at once; empty when cancelled.
    QStringList AskFilesToRead();
    int ExecPrintDialog(QPrintDialog& dlg) override;
    // Shows the offset dialog and returns its result; tests type into it here.
    virtual int ExecOffsetDialog(COffsetDlg& dlg);

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

private:
    // The commands the view handles, each with what runs it.
    struct CCommand
    {
        int nId;
        void (*fnRun)(CChildView& view, int nId);
    };
    static const CCommand* FindCommand(int nId);
    // The stored colours (creation order) on the axis labels and readouts, and the fonts.
    void StyleLabels(const std::uint32_t (&crColor)[4]);
    // Creates the four curves, or resets them, with these pens.
    void SetUpCurves(const std::uint32_t (&crColor)[4], const int (&nWidth)[4]);

    void BindControls();
    void WatchScaleBarMenu(QMenu* pMenu);
    // Names for assistive technology, in the form's language.
    void NameControls();
    void FinishOpen();
    // Opens strPath by pLayout, or by the layout recognised or saved for it; false when the
    // user cancelled or another file is being read.
    bool RunOpen(const QString& strPath, const CLayout* pLayout, COpenResult& open);
    // Shows what RunOpen read, or says why nothing could be shown.
    bool ShowOpened(const QString& strPath, COpenResult& open);
    // The import dialog for strPath starting from recognition; on OK the layout is saved and
    // the file read by it.
    bool ImportPath(const QString& strPath, const CRecognition& recognition);
    // Before the curves' samples change: the analysis of the old ones stops and is dropped.
    void ForgetSteps();
    void InitSteps();
    // After they changed: analysed again where the window or the marks want it.
    void RefreshSteps();
    void ApplyStepMarks();
    // A picture taken while the marks are on waits for the analysis they come from.
    void FinishStepMarks();
    // What the pictures and prints of pages see of the view.
    QWidget& GetPageForm() override { return *this; }
    CCurveCtrl& GetPagePlot() override { return *m_pPlot; }
    void FinishPageMarks() override { FinishStepMarks(); }
    int GetPageCount() const override { return m_pager.GetTotalPages(); }
    void ShowPage(int nPage) override { SetPageText(QString::number(nPage)); }
    // A press, move or release of the left button over the plot; true when it was taken.
    bool OnPlotMouse(QEvent::Type eType, const QMouseEvent& event);
    // The second under plot column x, within the recording; -1 without samples.
    std::int64_t SecondAt(int x) const;
    // Marks the selection on the plot and tells those who show it; after it changed.
    void ShowSelection();
    // The members' curves beside member 0's, in their colour families, and the legend;
    // after the set or the pens changed.
    void RebuildMemberCurves();
    // Each member's curves at its place on the common line: the window less its shift.
    void PlaceMemberCurves();
    // After the set changed: curves, legend, paging from page 1 and those who show the set.
    void ApplySet();
    // Where member i's sample 0 lies on the plot's line; 0 with one member.
    std::int64_t ShiftOf(std::size_t i) const;
    // Seconds the paging covers: the common line's.
    std::int64_t LineSeconds() const;
    // Every member's values at common second nSecond in the legend.
    void ShowMemberReadouts(std::int64_t nSecond);
    static int MemberOfCurve(const CCurve& curve);

    ICommandUi* m_pUi;
    std::shared_ptr<const CRecording> m_pRecording;
    QPointer<CStatisticsWnd> m_pStatistics;
    QPointer<CStepsWnd> m_pStepsWnd;
    CStepsAnalyser* m_pSteps = nullptr;
    CShownRecording* m_pShown = nullptr;
    bool m_bMarkSteps = false;
    // Reading a file or writing an export, one at a time.
    CFileWork m_fileWork{[this] {
        if (m_pUi)
            m_pUi->LoadingChanged();
    }};
    QHash<int, QWidget*> m_controls;
    // The page state; the page and total boxes show it.
    CPager m_pager;
    CCurveCtrl* m_pPlot = nullptr;
    QComboBox* m_pScale = nullptr;
    QScrollBar* m_pScaleBar = nullptr;
    QLineEdit* m_pPage = nullptr;
    QLineEdit* m_pTotal = nullptr;
    // Set while the view itself moves the scale bar, so the move is not taken for the user's.
    bool m_bInScaleScroll = false;
    std::array<CStaticText*, 11> m_arrTempAxis{};
    std::array<CStaticText*, 11> m_arrHumiAxis{};
    std::array<CStaticText*, 7> m_arrTimeLabels{};
    std::array<CStaticText*, 7> m_arrDateLabels{};

    CSelection m_selection;
    CPageOutput m_output{*this};
    // The file the recording on screen came from; an export never replaces it.
    QString m_strRecordingPath;
    // Every recording shown, member 0 being m_pRecording, and the files they came from.
    CRecordingSet m_set;
    std::vector<QString> m_arrMemberPaths;
    // While File > Add Recording reads its file, what is read goes beside the others.
    bool m_bAdding = false;
};
