// TSplitter: a bar between two aligned panes, standing right of a left-aligned
// pane or below a top-aligned one. Dragging it resizes the control that it
// borders on its own side; both panes keep at least MinSize.
#pragma once

#include "ui/Control.h"

// The neighbour's new extent for a drag that proposes Proposed, when the
// neighbour and the pane on the other side share Neighbour + Other pixels.
int SplitterClamp(int Proposed, int Neighbour, int Other, int MinSize);

class TSplitter : public TControl {
public:
    using TControl::TControl;
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value; }
    void SetBeveled(bool Value) { FBeveled = Value; }
    // The minimum size scales with the panes.
    void ChangeScale(int M, int D) override;

    // The control resized by this splitter and the pane on its other side.
    TControl* Neighbour() const;
    TControl* OtherPane() const;
    // Moves the bar by Delta pixels as a drag would.
    void MoveBy(int Delta);

protected:
    void Paint(HDC DC) override;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

private:
    bool Vertical() const { return Align() == alLeft; }
    int FMinSize = 30;
    bool FBeveled = false;
    bool FDragging = false;
    POINT FDragStart{};
    int FStartSize = 0;
};
