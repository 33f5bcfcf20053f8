#include "emulator/platform/x11/x11_dialogs.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdint>

#include "emulator/platform/x11/x11_windows.h"

namespace vx::emu::x11 {

namespace {

constexpr int kFontSize = 11;

struct DialogState {
    Fl_Window *window = nullptr;
    int result = 0;
};

void buttonCallback(Fl_Widget *button, void *data) {
    auto *state = static_cast<DialogState *>(data);
    state->result = int(reinterpret_cast<std::intptr_t>(button->user_data()) & 0xFFFF);
    state->window->hide();
}

// The close box and Escape end the dialog like its Cancel command.
void cancelCallback(Fl_Widget *, void *data) {
    auto *state = static_cast<DialogState *>(data);
    state->result = 2;
    state->window->hide();
}

} // namespace

void runDialog(const DialogResource &dialog, Fl_Window *owner) {
    const int width = dialogPixelsX(dialog.width), height = dialogPixelsY(dialog.height);
    Fl_Window window(width, height, dialog.title);
    DialogState state{&window, 0};
    DialogView view;
    view.title = dialog.title;
    view.width = width;
    view.height = height;
    for (int i = 0; i < dialog.controlCount; ++i) {
        const DialogControl &c = dialog.controls[i];
        const int x = dialogPixelsX(c.x), y = dialogPixelsY(c.y);
        const int w = dialogPixelsX(c.width), h = dialogPixelsY(c.height);
        view.texts.push_back(c.text);
        switch (c.kind) {
        case DialogControl::Icon: {
            auto *box = new Fl_Box(FL_NO_BOX, x, y, w, h, nullptr);
            box->image(const_cast<Fl_RGB_Image *>(&emulatorIcon()));
            break;
        }
        case DialogControl::Text: {
            auto *box = new Fl_Box(FL_NO_BOX, x, y, w, h, c.text);
            box->labelsize(kFontSize);
            box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
            break;
        }
        case DialogControl::Group: {
            // A frame with its caption at the top left, like a group box.
            auto *frame = new Fl_Box(FL_ENGRAVED_FRAME, x, y + 6, w, h - 6, nullptr);
            (void)frame;
            fl_font(FL_HELVETICA, kFontSize);
            int textWidth = 0, textHeight = 0;
            fl_measure(c.text, textWidth, textHeight);
            auto *caption = new Fl_Box(FL_FLAT_BOX, x + 6, y, textWidth + 6, 13, c.text);
            caption->labelsize(kFontSize);
            break;
        }
        case DialogControl::Button: {
            auto *button = new Fl_Return_Button(x, y, w, h, c.text);
            button->labelsize(kFontSize);
            button->user_data(reinterpret_cast<void *>(std::intptr_t(c.id)));
            button->callback(buttonCallback, &state);
            break;
        }
        }
    }
    window.end();
    window.callback(cancelCallback, &state);
    window.set_modal();
    if (owner && owner->shown())
        window.position(owner->x() + (owner->w() - width) / 2,
                        owner->y() + (owner->h() - height) / 2);
    window.show();
    XSync(fl_display, False);
    view.nativeWindow = fl_xid(&window);
    if (DialogObserver observer = dialogObserver()) observer(view);
    while (window.shown())
        Fl::wait();
}

void showMessageBox(const char *caption, const char *text, MessageIcon icon) {
    fl_message_title(caption);
    if (icon == MessageIcon::Plain)
        fl_message("%s", text);
    else
        fl_alert("%s", text);
}

} // namespace vx::emu::x11
