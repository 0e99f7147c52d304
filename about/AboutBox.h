// TAboutBox: the about window. The program's picture, name and version, the
// maker's name and two links (the support mail and the home page); it closes
// on OK, Escape or Enter and frees itself when closed.
#pragma once

#include "about/CoolLabel.h"
#include "ui/Form.h"
#include "about/Image.h"
#include "about/LabelFX.h"
#include "ui/StdCtrls.h"

class TAboutBox : public TForm {
public:
    explicit TAboutBox(const TFormKey& Key, TComponent* Owner = nullptr);
    ~TAboutBox() override;

    // Handlers wired by the layout.
    void OKButtonClick(TComponent& Sender);
    void Label3Click(TComponent& Sender);
    void Label1Click(TComponent& Sender);
    void FormKeyDown(TForm& Sender, WORD& Key);
    void FormClose(TForm& Sender, TCloseAction& Action);

    // Members, as the layout names them.
    TButton OKButton{this, "OKButton"};
    TPanel Panel1{this, "Panel1"};
    TImage Image1{this, "Image1"};
    TLabelFX sLabelFX1{this, "sLabelFX1"};
    TLabel Version{this, "Version"};
    TLabel Label2{this, "Label2"};
    TCoolLabel CoolLabel1{this, "CoolLabel1"};
    TCoolLabel CoolLabel2{this, "CoolLabel2"};
    TLabel Label3{this, "Label3"};
    TLabel Label1{this, "Label1"};

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

private:
    void BuildLayout();
};

// The about window while one exists; null once it has been freed.
extern TAboutBox* AboutBox;
