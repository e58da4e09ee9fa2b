#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "extract/Dialog.h"
#include "tests/support/ErrorText.h"

namespace {

// Templates of this test program's own resources.
const int OuterTemplate = 901;
const int InnerTemplate = 902;

// Posted from WM_INITDIALOG, so that the test's work runs inside the dialog's
// own message loop, the way a click would.
const UINT RunStep = WM_APP + 1;

class Inner : public Dialog<Inner> {
public:
    Inner() : Dialog<Inner>(GetModuleHandleW(nullptr), InnerTemplate, nullptr) {}

    std::function<void()> onInit;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG && onInit) {
            onInit();
            PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
        }
        return Dialog<Inner>::HandleMessage(message, wParam, lParam);
    }
};

class Outer : public Dialog<Outer> {
public:
    explicit Outer(std::function<void(Outer&)> step = nullptr)
        : Dialog<Outer>(GetModuleHandleW(nullptr), OuterTemplate, nullptr), step(std::move(step))
    {
    }

    std::function<void(Outer&)> step;
    bool windowKnownAtInit = false;
    std::wstring captionAfterInit;
    bool stepFinished = false;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG) {
            windowKnownAtInit = hwnd != nullptr;
            const INT_PTR result = Dialog<Outer>::HandleMessage(message, wParam, lParam);
            wchar_t caption[64] = {};
            GetWindowTextW(hwnd, caption, 64);
            captionAfterInit = caption;
            PostMessageW(hwnd, RunStep, 0, 0);
            return result;
        }
        if (message == RunStep) {
            if (step)
                step(*this);
            stepFinished = true;
            PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
            return TRUE;
        }
        return Dialog<Outer>::HandleMessage(message, wParam, lParam);
    }
};


TEST(Dialog, RunsTheTemplateWithTheSetupCaptionAndEndsWithOk)
{
    Outer outer;
    EXPECT_EQ(outer.Show(), IDOK);
    EXPECT_TRUE(outer.windowKnownAtInit);
    EXPECT_EQ(outer.captionAfterInit, L"Brinmoor Tessolan Setup");
    EXPECT_TRUE(outer.stepFinished);
    EXPECT_EQ(Outer::Current(), nullptr);
}

TEST(Dialog, CommandWithANotificationCodeEndsWithTheWholeWParam)
{
    Outer outer([](Outer& self) { PostMessageW(self.Window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0); });
    EXPECT_EQ(outer.Show(), static_cast<INT_PTR>(MAKEWPARAM(IDCANCEL, 1)));
}

TEST(Dialog, SecondDialogOfTheSameClassIsRefusedAndTheRunningOneStaysCurrent)
{
    std::string error;
    Outer* currentAfterRefusal = nullptr;
    Outer outer([&](Outer&) {
        Outer second;
        error = ErrorText([&] { second.Show(); });
        currentAfterRefusal = Outer::Current();
    });
    EXPECT_EQ(outer.Show(), IDOK);
    EXPECT_EQ(error, "Dialog: Reentrance not allowed");
    EXPECT_EQ(currentAfterRefusal, &outer);
}

TEST(Dialog, RefusalInAHandlerComesOutOfTheOuterShow)
{
    Outer outer([](Outer&) {
        Outer second;
        second.Show();
    });
    EXPECT_EQ(ErrorText([&] { outer.Show(); }), "Dialog: Reentrance not allowed");
    EXPECT_FALSE(outer.stepFinished);
    EXPECT_EQ(Outer::Current(), nullptr);

    // The failed run leaves nothing behind that would refuse the next one.
    Outer next;
    EXPECT_EQ(next.Show(), IDOK);
}

TEST(Dialog, DialogOfAnotherClassNestsWithoutTouchingTheRunningOne)
{
    Outer* outerSeenByInner = nullptr;
    Inner* innerSeenByInner = nullptr;
    INT_PTR innerResult = 0;
    Outer* outerAfterInner = nullptr;
    Inner* innerAfterInner = reinterpret_cast<Inner*>(1);
    Inner inner;
    inner.onInit = [&] {
        outerSeenByInner = Outer::Current();
        innerSeenByInner = Inner::Current();
    };
    Outer outer([&](Outer&) {
        innerResult = inner.Show();
        outerAfterInner = Outer::Current();
        innerAfterInner = Inner::Current();
    });
    EXPECT_EQ(outer.Show(), IDOK);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_EQ(outerSeenByInner, &outer);
    EXPECT_EQ(innerSeenByInner, &inner);
    EXPECT_EQ(outerAfterInner, &outer);
    EXPECT_EQ(innerAfterInner, nullptr);
}

}  // namespace
