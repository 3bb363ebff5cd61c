// Runs a recorder load on a worker thread while the user-interface thread keeps painting.
#pragma once

#include "recorder/recorderloader.h"

#include <functional>

class QString;
class QWidget;

// The load gets a progress callback that returns false once the user has cancelled.
using RecorderLoad = std::function<CLoadResult(const LoadProgress& progress)>;

// Runs load on a worker thread and returns its result, or false (result untouched) if the
// user cancelled it or the application is quitting. Meanwhile the event loop runs without
// user input; once nDelayMs have passed a modal progress window under pParent shows
// strLabel and how far the load is, and offers Cancel. Whatever load throws gives the
// out-of-memory result. The worker has ended on return, except after a cancel that it did
// not answer at once (a read blocked on a pipe): it then ends on its own, load and its
// result are freed with it, and load must hold nothing that the caller owns. stopRequested,
// asked every few milliseconds, cancels the load as Cancel does once it returns true.
bool RunRecorderLoad(QWidget* pParent, const QString& strLabel, const RecorderLoad& load,
                     CLoadResult& result, int nDelayMs = 500,
                     const std::function<bool()>& stopRequested = std::function<bool()>());
