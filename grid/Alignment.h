#pragma once

// Horizontal alignment of a text in a cell or a control.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
