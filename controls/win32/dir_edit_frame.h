#pragma once
// The directory edit frame's window: caption label, bevel line, edit and browse button, all
// standard controls, over the frame's browse behaviour.

#include <windows.h>

#include <functional>
#include <string>

#include "controls/dir_edit_browse.h"
#include "wizard/win32/gdi_handles.h"
#include "wizard/wizard_types.h"

namespace controls::win32 {

// Control identifiers of the frame's parts.
enum : int { kCaptionId = 1, kBevelId = 2, kEditId = 3, kBrowseButtonId = 4 };

class DirEditFrame : public DirEditView {
public:
    DirEditFrame(HWND parent, int controlId, const wizard::Rect& bounds, HFONT font);
    ~DirEditFrame() override;
    DirEditFrame(const DirEditFrame&) = delete;
    DirEditFrame& operator=(const DirEditFrame&) = delete;

    HWND Hwnd() const { return hwnd_.get(); }
    HWND EditHandle() const { return edit_.get(); }
    HWND BrowseButton() const { return button_.get(); }
    TFrameDirEditBrowse& Frame() { return frame_; }
    void SetCaption(const std::string& caption);
    void SetBevelVisible(bool visible);
    // The browse button's caption and size at 96 DPI; it keeps to the frame's right edge and the
    // edit ends before it.
    void SetBrowseButton(const std::string& caption, int width, int height);
    // The edit's own text-change notification.
    std::function<void()> OnEditChange;

    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();
    // A click of the browse button; a failure of the dialog is shown, not thrown through the
    // window procedure.
    void Browse();

    wizard::win32::UniqueWindow hwnd_;
    wizard::win32::UniqueWindow bevel_;
    wizard::win32::UniqueWindow caption_;
    wizard::win32::UniqueWindow edit_;
    wizard::win32::UniqueWindow button_;
    wizard::win32::UniqueWindow tooltip_;
    wizard::win32::UniqueFont editFont_;
    TFrameDirEditBrowse frame_;
    wizard::Size buttonSize_{21, 21};
};

}  // namespace controls::win32
