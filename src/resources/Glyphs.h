#pragma once
// The module's icons and button glyphs, drawn once and cached.

#include <QIcon>
#include <QPixmap>

namespace prvc03 {

enum class Glyph {
    WindowIcon,       // the module's window icon
    Ok,               // 确定
    Cancel,           // 取消
    NavFirst,         // ImageList1 0: double triangle left
    NavPrior,         // 1: triangle left
    NavNext,          // 2: triangle right
    NavLast,          // 3: double triangle right
    ModeResearch,     // 4: 重新查找
    ModeFuzzy,        // 5: 模糊查找
    ModeAdvanced,     // 6: 高级查找
    ModePinyin,       // 拼音查找
    OrderAscending,   // order list 0: red upward arrow
    OrderDescending,  // order list 1: black downward arrow
    TitleDown,        // title images 0: red downward arrow, black outline
    TitleUp,          // title images 1: red upward arrow, black outline
    MoveRight,        // add a sort key
    MoveLeft,         // remove a sort key
    Lookup,           // the lookup buttons (16 x 16)
    DeleteLine,       // delete a target line (18 x 18)
    ClearList,        // clear the target list (18 x 18)
    SelectAll,        // 全选
    SelectNone,       // 全不选
    Sort,             // 排序
    Query,            // 查询
    FindComputer,     // the notice windows' animation frame
    Preview,          // 预览: a sheet of records seen through an eye
};

QPixmap GlyphPixmap(Glyph glyph, int size = 16);
QIcon GlyphIcon(Glyph glyph, int size = 16);

}  // namespace prvc03
