// The selection of the main view, free of widgets: a stretch of seconds after the first sample,
// both ends included, and how a press, drag and release of the left button on the plot make
// one. The view hands it plot columns and the seconds under them, and shows what it holds.
#pragma once

#include <QString>

#include <cstdint>

class CSelection
{
public:
    // A press and release closer than this many pixels selects nothing: a click, not a drag.
    static constexpr int kDragPixels = 4;

    bool HasSelection() const { return m_nFirst <= m_nLast; }
    std::int64_t GetFirst() const { return m_nFirst; }
    std::int64_t GetLast() const { return m_nLast; }

    // Seconds nFirst to nLast, in either order, clamped to a recording of nSeconds; none when
    // they lie wholly outside it. True when the selection changed.
    bool Set(std::int64_t nFirst, std::int64_t nLast, std::int64_t nSeconds);
    // Also ends a press, so a drag under way selects nothing more. True when there was one.
    bool Clear();

    // The left button went down at plot column x over second nSecond. With bExtend (Shift
    // held) and a selection, the selection reaches to nSecond at once and no drag starts:
    // the press is taken, and true returned. Otherwise a drag may start here.
    bool Press(int x, std::int64_t nSecond, bool bExtend, std::int64_t nSeconds);
    // The pointer is at column x over second nSecond while the button is down, or the button
    // came up there. Once the pointer has gone further than kDragPixels from the press, the
    // selection runs from the press's second to nSecond; a click leaves it as it was.
    void Move(int x, std::int64_t nSecond, std::int64_t nSeconds);
    void Release(int x, std::int64_t nSecond, std::int64_t nSeconds);
    // Between a press that may become a drag and its release.
    bool IsPressed() const { return m_bPressed; }

    // strPattern's %1 and %2 filled with the first and last second's local time after
    // tFirstSample (the low 32 bits of the first record's time), and %3 with the length as
    // h:mm:ss; empty without a selection.
    QString Text(std::uint32_t tFirstSample, const QString& strPattern) const;

private:
    void DragTo(int x, std::int64_t nSecond, std::int64_t nSeconds);

    std::int64_t m_nFirst = 0;
    std::int64_t m_nLast = -1;
    bool m_bPressed = false;
    bool m_bDragging = false; // the pointer has moved far enough from the press
    int m_nPressX = 0;
    std::int64_t m_nPressSecond = -1;
};
