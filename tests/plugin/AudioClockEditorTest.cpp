#include "tests/plugin/EditorFixture.h"

#include "BinaryData.h"

namespace quaverline::test
{

using Change = std::pair<int, float>;
using Changes = std::vector<Change>;

TEST_F (EditorTest, IsBuiltAsTheWindowLooks)
{
    auto& e = openEditor();
    EXPECT_TRUE (processor->hasEditor());
    EXPECT_EQ (e.getBounds(), juce::Rectangle<int> (0, 0, 150, 150));
    ASSERT_EQ (e.getNumChildComponents(), 2);

    auto& box = list();
    EXPECT_EQ (box.getName(), "Time Signature");
    EXPECT_EQ (box.getBounds(), juce::Rectangle<int> (39, 120, 75, 24));
    EXPECT_FALSE (box.isTextEditable());
    EXPECT_EQ (box.getJustificationType().getFlags(), 33);
    EXPECT_EQ (box.getTextWhenNoChoicesAvailable(), "(no choices)");
    ASSERT_EQ (box.getNumItems(), 30);

    for (int i = 0; i < 30; ++i)
    {
        const auto eighths = juce::String (i + 3);
        EXPECT_EQ (box.getItemId (i), i + 1);
        EXPECT_EQ (box.getItemText (i), (eighths.length() < 2 ? " " : "") + eighths + "/8");
    }

    auto& label = caption();
    EXPECT_EQ (label.getName(), "tSig Label");
    EXPECT_EQ (label.getText(), "Time Signature");
    EXPECT_EQ (label.getBounds(), juce::Rectangle<int> (23, 96, 150, 24));
    EXPECT_EQ (label.getFont().getHeight(), 15.0f);
    EXPECT_EQ (label.getFont().getStyleFlags(), juce::Font::plain);
    EXPECT_EQ (label.getJustificationType().getFlags(), 33);
    EXPECT_FALSE (label.isEditableOnSingleClick());
    EXPECT_FALSE (label.isEditableOnDoubleClick());
    EXPECT_FALSE (label.doesLossOfFocusDiscardChanges());
    EXPECT_EQ (label.findColour (juce::TextEditor::textColourId), juce::Colours::black);
    EXPECT_EQ (label.findColour (juce::TextEditor::backgroundColourId), juce::Colours::transparentBlack);

    EXPECT_EQ (e.getArtwork().getWidth(), 150);
    EXPECT_EQ (e.getArtwork().getHeight(), 150);
}

TEST_F (EditorTest, PollsTheHostEvery200Milliseconds)
{
    editor.reset (dynamic_cast<AudioClockEditor*> (processor->createEditorIfNeeded()));
    EXPECT_TRUE (editor->isTimerRunning());
    EXPECT_EQ (editor->getTimerInterval(), 200);
}

struct Opening
{
    uint8_t index;
    int selectedId; // 0: an ID without an item
    const char* text;
};

void PrintTo (const Opening& c, std::ostream* os)
{
    *os << "index " << int (c.index);
}

class InitialSelection : public EditorTest, public testing::WithParamInterface<Opening>
{
};

TEST_P (InitialSelection, ShowsTheCurrentIndex)
{
    restoreIndex (GetParam().index);
    openEditor();
    EXPECT_EQ (list().getSelectedId(), GetParam().selectedId);
    EXPECT_EQ (list().getText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P (EditorTest,
                          InitialSelection,
                          testing::Values (Opening { 0, 6, " 8/8" },
                                           Opening { 1, 1, " 3/8" },
                                           Opening { 6, 6, " 8/8" },
                                           Opening { 12, 12, "14/8" },
                                           Opening { 30, 30, "32/8" },
                                           Opening { 31, 0, "" },
                                           Opening { 255, 0, "" }));

TEST_F (EditorTest, OpeningTellsTheHostTheValueOnce)
{
    restoreIndex (12);
    openEditor();
    deliverMessages();

    EXPECT_EQ (takeHostChanges(), Changes { told (12) });
    EXPECT_EQ (index(), 12);

    for (int i = 0; i < 5; ++i)
        tick();

    EXPECT_EQ (takeHostChanges(), Changes {});
    EXPECT_EQ (list().getSelectedId(), 12);
}

TEST_F (EditorTest, OpeningAtIndexZeroMovesToEightEighths)
{
    restoreIndex (0);
    openEditor();
    deliverMessages();

    EXPECT_EQ (index(), 6);
    EXPECT_EQ (takeHostChanges(), Changes { told (6) });
}

TEST_F (EditorTest, AUserChoiceSetsTheParameterAndTellsTheHostOnce)
{
    openEditor();
    deliverMessages();
    tick();
    takeHostChanges();

    list().setSelectedId (30); // what the list does when the user picks "32/8"
    deliverMessages();
    EXPECT_EQ (index(), 30);
    EXPECT_EQ (takeHostChanges(), Changes (1, Change (0, 1.0f)));

    tick();
    tick();
    EXPECT_EQ (takeHostChanges(), Changes {});
}

TEST_F (EditorTest, AHostChangeReachesTheListAndComesBackOnce)
{
    openEditor();
    deliverMessages();
    tick();
    takeHostChanges();

    setIndexFromHost (12);
    tick();
    EXPECT_EQ (list().getText(), "14/8");
    EXPECT_EQ (takeHostChanges(), Changes { told (12) });

    tick();
    EXPECT_EQ (takeHostChanges(), Changes {});

    // The value already shown: nothing goes back.
    setIndexFromHost (12);
    tick();
    EXPECT_EQ (takeHostChanges(), Changes {});
}

TEST_F (EditorTest, HostIndexZeroShowsThreeEighths)
{
    openEditor();
    deliverMessages();
    tick();
    takeHostChanges();

    setIndexFromHost (0);
    tick();
    EXPECT_EQ (list().getText(), " 3/8");
    EXPECT_EQ (index(), 1);
    EXPECT_EQ (takeHostChanges(), Changes { told (1) });

    // While " 3/8" already shows, index 0 stays.
    setIndexFromHost (0);
    tick();
    EXPECT_EQ (index(), 0);
    EXPECT_EQ (takeHostChanges(), Changes {});
}

TEST_F (EditorTest, ARestoredIndexAbove30SettlesOnThreeEighths)
{
    restoreIndex (40);
    openEditor();
    EXPECT_EQ (list().getText(), "");

    deliverMessages();
    EXPECT_EQ (index(), 0);
    EXPECT_EQ (takeHostChanges(), Changes (1, Change (0, 0.0f)));

    tick();
    EXPECT_EQ (list().getText(), " 3/8");
    EXPECT_EQ (index(), 1);
    EXPECT_EQ (takeHostChanges(), Changes { told (1) });

    tick();
    EXPECT_EQ (takeHostChanges(), Changes {});
}

TEST_F (EditorTest, AChangeWhileClosedShowsOnOpening)
{
    setIndexFromHost (20);
    openEditor();
    EXPECT_EQ (list().getText(), "22/8");
    deliverMessages();
    tick();
    tick();
    EXPECT_EQ (takeHostChanges(), Changes { told (20) });
}

TEST_F (EditorTest, ClosingWithAPendingNotificationIsSafe)
{
    for (int i = 0; i < 20; ++i)
    {
        openEditor();
        list().setSelectedId (i % 30 + 1);
        closeEditor();
    }

    deliverMessages();
    EXPECT_EQ (takeHostChanges(), Changes {});
    EXPECT_EQ (index(), 6);
}

TEST_F (EditorTest, TheArtworkIsDecodedOnceWhileCached)
{
    const auto first = openEditor().getArtwork();
    closeEditor();
    const auto second = openEditor().getArtwork();

    ASSERT_TRUE (first.isValid());
    EXPECT_EQ (first.getPixelData(), second.getPixelData());
}

TEST_F (EditorTest, ArtworkThatDoesNotDecodeLeavesAWorkingWhiteWindow)
{
    const char notAJpeg[] = "not a picture at all";
    editor = std::make_unique<AudioClockEditor> (*processor, notAJpeg, int (sizeof (notAJpeg)));
    editor->stopTimer();

    EXPECT_TRUE (editor->getArtwork().isNull());
    const auto snapshot = editor->createComponentSnapshot (editor->getLocalBounds());
    EXPECT_EQ (snapshot.getPixelAt (58, 21), juce::Colours::white);
    EXPECT_EQ (snapshot.getPixelAt (10, 96), juce::Colours::white);

    list().setSelectedId (3);
    deliverMessages();
    EXPECT_EQ (index(), 3);
}

TEST_F (EditorTest, SnapshotShowsArtworkCaptionAndList)
{
    const auto snapshot = openEditor().createComponentSnapshot (editor->getLocalBounds());
    const auto file = juce::File (QUAVERLINE_SNAPSHOT_DIR).getChildFile ("editor-snapshot.png");
    file.deleteFile();
    {
        juce::FileOutputStream stream (file);
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (snapshot, stream));
    }

    ASSERT_EQ (snapshot.getWidth(), 150);
    ASSERT_EQ (snapshot.getHeight(), 150);

    const auto isDark = [&] (int x, int y) { return snapshot.getPixelAt (x, y).getBrightness() < 0.3f; };
    EXPECT_FALSE (isDark (3, 3));                                    // white ground
    EXPECT_TRUE (isDark (58, 21));                                   // the logo
    EXPECT_TRUE (isDark (10, 96));                                   // the rule
    EXPECT_TRUE (isDark (145, 96));                                  // ... across the full width
    EXPECT_FALSE (isDark (10, 110));                                 // white below it
    EXPECT_FALSE (isDark (10, 140));                                 // ... beside the list
    EXPECT_NE (snapshot.getPixelAt (45, 132), juce::Colours::white); // the list's own face

    int captionInk = 0;
    for (int y = 98; y < 120; ++y)
        for (int x = 23; x < 150; ++x)
            captionInk += isDark (x, y) ? 1 : 0;

    EXPECT_GT (captionInk, 40) << "the caption's text did not render: are fonts installed?";
}

TEST (EditorArtwork, IsABaselineJfifJpegAt72DpiWith420Sampling)
{
    const auto* bytes = reinterpret_cast<const uint8_t*> (BinaryData::editor_artwork_jpg);
    const auto size = static_cast<size_t> (BinaryData::editor_artwork_jpgSize);

    ASSERT_GT (size, 20u);
    EXPECT_EQ (bytes[0], 0xFF);
    EXPECT_EQ (bytes[1], 0xD8);
    EXPECT_EQ (bytes[size - 2], 0xFF);
    EXPECT_EQ (bytes[size - 1], 0xD9);

    // APP0: "JFIF", version 1.01, units dpi, 72 x 72, no thumbnail.
    const uint8_t app0[] = { 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 1, 0, 72, 0, 72, 0, 0 };
    EXPECT_EQ (std::vector<uint8_t> (bytes + 2, bytes + 2 + sizeof (app0)),
               std::vector<uint8_t> (app0, app0 + sizeof (app0)));

    // Walk the segments to the frame header: SOF0 (baseline), 150 x 150,
    // components Y 2x2, Cb 1x1, Cr 1x1.
    size_t pos = 2;
    while (pos + 4 < size && ! (bytes[pos] == 0xFF && bytes[pos + 1] >= 0xC0 && bytes[pos + 1] <= 0xCF &&
                                bytes[pos + 1] != 0xC4 && bytes[pos + 1] != 0xC8 && bytes[pos + 1] != 0xCC))
        pos += 2 + size_t ((bytes[pos + 2] << 8) | bytes[pos + 3]);

    ASSERT_LT (pos + 18, size);
    EXPECT_EQ (bytes[pos + 1], 0xC0);
    const auto* frame = bytes + pos + 4;
    EXPECT_EQ (frame[0], 8);
    EXPECT_EQ ((frame[1] << 8) | frame[2], 150);
    EXPECT_EQ ((frame[3] << 8) | frame[4], 150);
    ASSERT_EQ (frame[5], 3);
    EXPECT_EQ (frame[7], 0x22);
    EXPECT_EQ (frame[10], 0x11);
    EXPECT_EQ (frame[13], 0x11);
}

} // namespace quaverline::test
