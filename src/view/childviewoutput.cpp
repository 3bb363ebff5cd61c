// Save as image and Print of the main view.
#include "view/childview.h"

void CChildView::OnFileSaveAs()
{
}

void CChildView::OnFilePrint()
{
}
