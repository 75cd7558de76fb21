// The AAX face's editor in a real window: a host view container whose native
// view is a window on a private X display.

#include "tests/support/AaxHost.h"
#include "tests/support/HostWindow.h"
#include "tests/support/XvfbTestMain.h"

#include <gtest/gtest.h>

namespace quaverline::test
{

namespace
{
/** The host's view container: a native window (type 3) and what it is told. */
class ViewContainer final : public AAX_IViewContainer
{
public:
    explicit ViewContainer (void* nativeWindow)
        : window (nativeWindow)
    {
    }

    int32_t GetType() override { return AAX_eViewContainer_Type_HWND; }
    void* GetPtr() override { return window; }

    AAX_Result SetViewSize (AAX_Point& size) override
    {
        sizes.push_back (size);
        return 0;
    }

    AAX_Result GetModifiers (uint32_t* modifiers) override
    {
        *modifiers = 0;
        return 0;
    }

    AAX_Result HandleParameterMouseDown (AAX_CParamID, uint32_t) override { return ++mouseEvents, 0; }
    AAX_Result HandleParameterMouseDrag (AAX_CParamID, uint32_t) override { return ++mouseEvents, 0; }
    AAX_Result HandleParameterMouseUp (AAX_CParamID, uint32_t) override { return ++mouseEvents, 0; }

    void* window;
    std::vector<AAX_Point> sizes;
    int mouseEvents = 0;
};
} // namespace

TEST (AaxEditor, OpensInTheHostsWindowAndClosesRepeatedly)
{
    ASSERT_TRUE (xvfbSessionIsReady()) << "no X display with a window manager";
    HostWindow parent;
    ASSERT_NE (parent.display, nullptr);

    const aaxhost::Scan scan;
    aaxhost::Instance instance (scan);
    ASSERT_EQ (instance.initialise(), 0);

    auto* createGui =
        reinterpret_cast<AAX_IEffectGUI* (*) ()> (scan.effect().procedures.at (kAAX_ProcPtrID_Create_EffectGUI));
    auto* gui = createGui();
    ASSERT_EQ (gui->Initialize (instance.parameters, &instance), 0);
    ViewContainer container (parent.handle());

    for (int cycle = 0; cycle < 5; ++cycle)
    {
        ASSERT_EQ (gui->SetViewContainer (&container), 0);
        XSync (parent.display, False);

        const auto children = parent.children();
        ASSERT_EQ (children.size(), 1u) << "cycle " << cycle;
        XWindowAttributes attributes {};
        XGetWindowAttributes (parent.display, children.front(), &attributes);
        EXPECT_EQ (attributes.width, 150);
        EXPECT_EQ (attributes.height, 150);

        AAX_Point size;
        ASSERT_EQ (gui->GetViewSize (&size), 0);
        EXPECT_EQ (size.vert, 150.0f);

        // Closing the view deletes the editor with it.
        ASSERT_EQ (gui->SetViewContainer (nullptr), 0);
        XSync (parent.display, False);
        EXPECT_TRUE (parent.children().empty());
        EXPECT_EQ (gui->GetViewSize (&size), -20004);
    }

    EXPECT_EQ (container.mouseEvents, 0); // the editor names no parameter for its controls
    gui->Release();
}

} // namespace quaverline::test
