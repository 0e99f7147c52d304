#include "ui/Splitter.h"

#include <algorithm>

#include "base/Handle.h"

int SplitterClamp(int Proposed, int Neighbour, int Other, int MinSize)
{
    int total = Neighbour + Other;
    int high = total - MinSize;
    if (high < MinSize) // no room for both: leave the panes as they are
        return Neighbour;
    return std::clamp(Proposed, MinSize, high);
}

TControl* TSplitter::Neighbour() const
{
    TControl* parent = Parent();
    if (!parent)
        return nullptr;
    // The last control of the same alignment placed before the splitter.
    TControl* found = nullptr;
    for (TControl* c : parent->Controls()) {
        if (c == this)
            break;
        if (c->Align() == Align() && c->Visible())
            found = c;
    }
    return found;
}

TControl* TSplitter::OtherPane() const
{
    if (!Parent())
        return nullptr;
    for (TControl* c : Parent()->Controls())
        if (c->Align() == alClient && c->Visible())
            return c;
    return nullptr;
}

void TSplitter::MoveBy(int Delta)
{
    TControl* neighbour = Neighbour();
    if (!neighbour)
        return;
    TControl* other = OtherPane();
    bool vertical = Vertical();
    int size = vertical ? neighbour->Width() : neighbour->Height();
    int otherSize = other ? (vertical ? other->Width() : other->Height()) : 0;
    int wanted = SplitterClamp(size + Delta, size, otherSize, FMinSize);
    if (vertical)
        neighbour->SetWidth(wanted);
    else
        neighbour->SetHeight(wanted);
}

void TSplitter::ChangeScale(int M, int D)
{
    TControl::ChangeScale(M, D);
    FMinSize = ::MulDiv(FMinSize, M, D);
}

void TSplitter::Paint(HDC DC)
{
    if (!FBeveled)
        return;
    RECT r;
    ::GetClientRect(FHandle, &r);
    ::DrawEdge(DC, &r, BDR_RAISEDINNER, Vertical() ? (BF_LEFT | BF_RIGHT) : (BF_TOP | BF_BOTTOM));
}

LRESULT TSplitter::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(Vertical() ? IDC_SIZEWE : IDC_SIZENS)));
        return TRUE;
    case WM_LBUTTONDOWN:
        if (TControl* n = Neighbour()) {
            FDragging = true;
            ::GetCursorPos(&FDragStart);
            FStartSize = Vertical() ? n->Width() : n->Height();
            ::SetCapture(FHandle);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (FDragging) {
            POINT pt;
            ::GetCursorPos(&pt);
            TControl* n = Neighbour();
            int current = Vertical() ? n->Width() : n->Height();
            int moved = Vertical() ? pt.x - FDragStart.x : pt.y - FDragStart.y;
            MoveBy(FStartSize + moved - current);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (FDragging) {
            FDragging = false;
            if (Msg == WM_LBUTTONUP)
                ::ReleaseCapture();
        }
        return 0;
    }
    return TControl::WndProc(Msg, WParam, LParam);
}
