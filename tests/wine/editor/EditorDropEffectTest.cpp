// EditorDropEffectTest: a file dragged onto the editor, from a source that would move it, is never moved:
// no widget of this editor takes drops, so every answer is "no effect".
#include <ole2.h>

#include "tests/wine/editor/HostedEditorFixture.h"
#include "tests/wine/gui/TestDataObject.h"

namespace {

using testdata::TestDataObject;

class EditorDropEffectTest : public HostedEditorFixture {};

TEST_F(EditorDropEffectTest, FileOfferedForMovingOrCopyingIsNeitherTakenNorMoved) {
    const std::string path = testdata::tempPath("vozuv_editor_drop.txt");
    testdata::writeFile(path);
    ASSERT_NO_FATAL_FAILURE(openEditor());
    auto* target = static_cast<IDropTarget*>(GetPropA(editorWindow, "OleDropTargetInterface"));
    ASSERT_NE(target, nullptr);
    TestDataObject files = testdata::fileData({path});
    const DWORD offered = DROPEFFECT_MOVE | DROPEFFECT_COPY;

    // Over a knob, over a read-out, over bare panel.
    for (const POINT& at : {knobPoint(7, 21, 18), toScreen(layout::kReadoutLeft(7) + 5, layout::kReadoutTop + 3),
                            toScreen(10, 10)}) {
        const POINTL where{at.x, at.y};
        DWORD entered = offered, over = offered, dropped = offered;
        target->DragEnter(&files, 0, where, &entered);
        target->DragOver(0, where, &over);
        EXPECT_EQ(target->Drop(&files, 0, where, &dropped), S_OK);
        EXPECT_EQ(entered, static_cast<DWORD>(DROPEFFECT_NONE)) << at.x << "," << at.y;
        EXPECT_EQ(over, static_cast<DWORD>(DROPEFFECT_NONE)) << at.x << "," << at.y;
        EXPECT_EQ(dropped, static_cast<DWORD>(DROPEFFECT_NONE)) << at.x << "," << at.y;
        // What a file manager does with the answer: MOVE means the file now lives elsewhere.
        if (dropped & DROPEFFECT_MOVE) DeleteFileA(path.c_str());
    }
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "the source moved the file away";
    DeleteFileA(path.c_str());
}

}  // namespace
