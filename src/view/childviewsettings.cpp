// The settings commands of the main view: curve visibility, limits, colours and widths,
// background colour, title.
#include "view/childview.h"

void CChildView::OnToggleCurve(int)
{
}

void CChildView::OnLimit()
{
}

void CChildView::OnCurveColor()
{
}

void CChildView::OnBackgroundColor()
{
}

void CChildView::OnTitle()
{
}

void CChildView::OnHideTitle()
{
}
