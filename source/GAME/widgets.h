// The widget classes that screens are built from: buttons and labels, wide buttons with caps,
// sliders, value lists, spinners and the text field.
#pragma once
#include <memory>
#include <vector>

#include "GAME/Widget.h"

// Keys that press a button: the joystick's first button (10), Enter (13) and the space bar (32).
bool IsSelectKey(sys::WPARAM key);

// A picture per state and a caption; reports its activation to its parent. A label is a Button
// in state STATE_IGNORE.
class Button : public Widget {
public:
    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override;
    int Draw() override;

protected:
    // The press/release state machine without the dispatch to children.
    int RunButtonStates(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam);
    // The state's picture at (x, y), when there is one.
    void DrawStatePicture();
    void DrawCaption(int left);
};

// A button whose picture is stretched between a left and a right cap.
class WideButton : public Button {
public:
    void Load(const char* file, const char* section) override;
    int Draw() override;
};

// Reads the items named by keys "0", "1", ... (at most `limit`) of a section, each from the
// section that its key names; the reading stops at the first empty key.
std::vector<std::unique_ptr<Widget>> LoadItems(const char* file, const char* section, int limit);

// A bar with a value 0...1 set by dragging; item 0 is the empty track, item 1 the filled one.
class Slider : public Button {
public:
    std::vector<std::unique_ptr<Widget>> items;
    float value = 0.0f;

    void Load(const char* file, const char* section) override;
    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override;
    int Draw() override;
    void SetValue(float newValue) override { value = newValue; }
    float GetValue() override { return value; }
};

// Shows one of its items; pressing it steps through them. currentIndex is the selected item.
class ValueList : public Widget {
public:
    std::vector<std::unique_ptr<Widget>> items;

    void Load(const char* file, const char* section) override;
    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override;
    int Update(float elapsedMs) override;
    int Draw() override;
    // Selects item `value` (rounded); out-of-range values select nothing.
    void SetValue(float value) override;
    float GetValue() override { return float(currentIndex); }
    // Appends an item, placed as the class places the items it reads.
    virtual void AddItem(std::unique_ptr<Widget> item);
    void Step(int delta);

protected:
    virtual void PlaceItem(Widget& item);
};

// A value list between two arrow buttons, read from sections `left` and `right`.
class Spinner : public ValueList {
public:
    std::unique_ptr<Button> leftArrow, rightArrow;

    void Load(const char* file, const char* section) override;
    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override;
    int OnChildAction(Widget* child) override;
    int Update(float elapsedMs) override;
    int Draw() override;

protected:
    void PlaceItem(Widget& item) override;
};

// One line of editable text (the caption); the value is the caret position.
class TextField : public Button {
public:
    int caret = 0;

    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override;
    int Draw() override;
    void SetValue(float value) override;
    float GetValue() override { return float(caret); }
};
