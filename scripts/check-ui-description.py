#!/usr/bin/env python3
"""Checks the wizard's interface description (data/sources/ui.xml).

Usage: check-ui-description.py [UI_XML]   (default: data/sources/ui.xml beside
this script's folder). Prints every problem found and exits 1 when there is
one, 0 otherwise.

The form builder stops at the first element it cannot make and leaves the
window half built, and the program's markup reader forgives what XML does not,
so mistakes in the description show up late and far from their cause. This
script finds them early: classes and property names the builder does not know,
values of the wrong kind, the elements the wizard's code looks up by path, and
the layout itself. It lays the window out at its default size the way the
builder does (Align, Padding, Spacing, Margin) and reports controls that
overlap, stick out of their parent, have too little room for their text, or
come in the wrong keyboard order.
"""

import os
import re
import sys
import xml.etree.ElementTree as ET

ROOT_NAME = "TvostraDSC"

# The room Qt's Fusion style gives a group box's caption, a tab control's tabs
# and a form's menu bar at the top (the last two rounded up from what the
# default font needs), and the text width per character at the system font
# (generous, so translations and other fonts fit too).
GROUP_CAPTION = 20
TAB_BAR = 30
MENU_BAR = 24
CHAR_WIDTH = 8
BASE_FONT_SIZE = 9

COMMON = "Name Left Top Width Height Align Margin Visible Enabled Hint Color Cursor TabOrder TabStop Font.Name Font.Size Font.Style"
BUTTON = "Caption ModalResult Default Cancel AutoSize"
MEMO = "Text Lines.Strings ReadOnly WordWrap ScrollBars"
RANGE = "Min Max Position"
# The 40 classes with their own properties; every visual class also has COMMON.
CLASSES = {
    "TForm": "Caption ClientWidth ClientHeight Padding Spacing Position",
    "TPanel": "Caption BevelInner BevelOuter Padding Spacing AutoSize Alignment",
    "TGroupBox": "Caption Padding Spacing AutoSize",
    "TRadioGroup": "Caption Items.Strings ItemIndex Columns Padding Spacing",
    "TScrollBox": "Padding Spacing ScrollBars",
    "TTabControl": "Tabs.Strings TabIndex Padding Spacing",
    "TPageControl": "ActivePageIndex",
    "TTabSheet": "Caption Padding Spacing",
    "TToolBar": "Padding Spacing",
    "TCoolBar": "Padding Spacing",
    "TStatusBar": "SimpleText",
    "TLabel": "Caption AutoSize WordWrap Alignment Layout FocusControl",
    "TStaticText": "Caption AutoSize WordWrap Alignment Layout FocusControl",
    "TButton": BUTTON,
    "TBitBtn": BUTTON + " Glyph.File Glyph.Data",
    "TSpeedButton": "Caption Glyph.File Glyph.Data Down GroupIndex AllowAllUp Flat ShowCaption",
    "TCheckBox": "Caption Checked AutoSize",
    "TRadioButton": "Caption Checked AutoSize",
    "TEdit": "Text ReadOnly MaxLength TextHint",
    "TMemo": MEMO,
    "TRichEdit": MEMO,
    "TComboBox": "Text Items.Strings ItemIndex Style",
    "TListBox": "Items.Strings ItemIndex",
    "TImage": "Picture.File Picture.Data Stretch Proportional Center",
    "TDateTimePicker": "Kind",
    "TProgressBar": RANGE,
    "TTrackBar": RANGE,
    "TUpDown": RANGE,
    "TScrollBar": "Kind " + RANGE,
    "TBevel": "Shape",
    "TShape": "Shape",
    "TSplitter": "MinSize",
    "THotKey": "",
    "TAnimate": "",
    "TTreeView": "Items.Strings",
    "TListView": "Columns.Strings",
    "THeaderControl": "Sections.Strings",
    "TImageList": None,
    "TMainMenu": None,
    "TPopupMenu": None,
}
NON_VISUAL = {"TImageList": "Name Width Height", "TMainMenu": "Name", "TPopupMenu": "Name"}
CONTAINERS = {"TForm", "TPanel", "TGroupBox", "TRadioGroup", "TScrollBox", "TTabSheet",
              "TTabControl", "TToolBar", "TCoolBar"}
CLASS_BY_LOWER = {name.lower(): name for name in CLASSES}

BOOLEANS = set("Visible Enabled TabStop AutoSize WordWrap Default Cancel Down AllowAllUp Flat "
               "ShowCaption Checked ReadOnly Stretch Proportional Center".split())
INTEGERS = set("Left Top Width Height Margin TabOrder Padding Spacing ClientWidth ClientHeight "
               "ItemIndex Columns TabIndex ActivePageIndex GroupIndex MaxLength Min Max Position "
               "MinSize Font.Size".split())
NAMED_INTEGERS = {"Color", "Cursor", "ModalResult"}
ENUMERATIONS = {
    "Align": "alNone alTop alBottom alLeft alRight alClient",
    "BevelInner": "bvNone bvLowered bvRaised bvSpace",
    "BevelOuter": "bvNone bvLowered bvRaised bvSpace",
    "Alignment": "taLeftJustify taRightJustify taCenter",
    "Layout": "tlTop tlCenter tlBottom",
    "Style": "csDropDown csDropDownList",
    "ScrollBars": "ssNone ssHorizontal ssVertical ssBoth",
    ("TForm", "Position"): "poDesigned poScreenCenter",
    ("TDateTimePicker", "Kind"): "dtkDate dtkTime",
    ("TScrollBar", "Kind"): "sbHorizontal sbVertical",
    ("TBevel", "Shape"): "bsBox bsFrame bsTopLine bsBottomLine bsLeftLine bsRightLine bsSpacer",
    ("TShape", "Shape"): "stRectangle stSquare stRoundRect stRoundSquare stEllipse stCircle",
}
FONT_STYLES = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}

# Every element the wizard's code finds by path (from the root), with its class.
REQUIRED = [
    ("pTop", "TToolBar"),
    ("pTop/bNew", "TSpeedButton"),
    ("pTop/bOpen", "TSpeedButton"),
    ("pTop/bSave", "TSpeedButton"),
    ("pTop/bMake", "TSpeedButton"),
    ("pTop/bStop", "TSpeedButton"),
    ("pTop/bPreview", "TSpeedButton"),
    ("main", "TTabControl"),
    ("main/pTop", "TPanel"),
    ("main/pStyle", "TPanel"),
    ("main/pSource", "TPanel"),
    ("main/pFilter", "TPanel"),
    ("main/pOptions", "TPanel"),
    ("main/pBuild", "TPanel"),
    ("pBottom", "TPanel"),
    ("pBottom/bHelp", "TButton"),
    ("pBottom/bPrev", "TButton"),
    ("pBottom/bNext", "TButton"),
    # Style
    ("main/pStyle/pLeft", "TPanel"),
    ("main/pStyle/pLeft/styleLB", "TListBox"),
    ("main/pStyle/pLeft/pTool", "TPanel"),
    ("main/pStyle/pLeft/pTool/bEdit", "TButton"),
    ("main/pStyle/pLeft/pTool/bCopy", "TButton"),
    ("main/pStyle/pLeft/pTool/bRename", "TButton"),
    ("main/pStyle/pLeft/pTool/bImage", "TButton"),
    ("main/pStyle/pLeft/pTool/bDescription", "TButton"),
    ("main/pStyle/p", "TPanel"),
    ("main/pStyle/p/pStyleH", "TLabel"),
    ("main/pStyle/p/imPanel", "TPanel"),
    ("main/pStyle/p/imPanel/styleIm", "TImage"),
    ("main/pStyle/p/comGb", "TGroupBox"),
    ("main/pStyle/p/comGb/styleL", "TLabel"),
    # Source
    ("main/pSource/gbSrc", "TGroupBox"),
    ("main/pSource/gbSrc/eSrc", "TEdit"),
    ("main/pSource/gbSrc/bSrc", "TButton"),
    ("main/pSource/gbRec", "TGroupBox"),
    ("main/pSource/gbRec/cbRec", "TComboBox"),
    ("main/pSource/gbRec/gbSingleFile", "TPanel"),
    ("main/pSource/gbRec/gbSingleFile/recSingle", "TRadioButton"),
    ("main/pSource/gbRec/gbSingleFile/recMultiple", "TRadioButton"),
    ("main/pSource/gbDest", "TGroupBox"),
    ("main/pSource/gbDest/eDest", "TEdit"),
    ("main/pSource/gbDest/bDest", "TButton"),
    # Filter
    ("main/pFilter/gbFile", "TGroupBox"),
    ("main/pFilter/gbFile/l1", "TLabel"),
    ("main/pFilter/gbFile/eIncFile", "TComboBox"),
    ("main/pFilter/gbFile/l2", "TLabel"),
    ("main/pFilter/gbFile/eSkipFile", "TEdit"),
    ("main/pFilter/gbFolder", "TGroupBox"),
    ("main/pFilter/gbFolder/l1", "TLabel"),
    ("main/pFilter/gbFolder/l2", "TLabel"),
    ("main/pFilter/gbFolder/eIncFold", "TEdit"),
    ("main/pFilter/gbFolder/eSkipFold", "TEdit"),
    ("main/pFilter/gbTime", "TGroupBox"),
    ("main/pFilter/gbTime/cTime", "TComboBox"),
    ("main/pFilter/gbTime/timeL1", "TLabel"),
    ("main/pFilter/gbTime/timeDT1", "TDateTimePicker"),
    ("main/pFilter/gbTime/timeDT2", "TDateTimePicker"),
    ("main/pFilter/gbTime/timeL2", "TLabel"),
    ("main/pFilter/gbTime/timeDT3", "TDateTimePicker"),
    ("main/pFilter/gbTime/timeDT4", "TDateTimePicker"),
    ("main/pFilter/gbTime/timeL3", "TLabel"),
    ("main/pFilter/gbTime/eTimeInt", "TEdit"),
    ("main/pFilter/gbTime/cTimeInt", "TComboBox"),
    ("main/pFilter/gbTime/bSetCurTime", "TButton"),
    ("main/pFilter/gbSize", "TGroupBox"),
    ("main/pFilter/gbSize/cSize", "TComboBox"),
    ("main/pFilter/gbSize/sizeL1", "TLabel"),
    ("main/pFilter/gbSize/sizeL2", "TLabel"),
    ("main/pFilter/gbSize/eSizeStart", "TEdit"),
    ("main/pFilter/gbSize/eSizeEnd", "TEdit"),
    ("main/pFilter/gbAttr", "TGroupBox"),
    ("main/pFilter/gbAttr/cbAttr", "TCheckBox"),
    ("main/pFilter/gbAttr/gbIE", "TPanel"),
    ("main/pFilter/gbAttr/gbIE/attrI1", "TRadioButton"),
    ("main/pFilter/gbAttr/gbIE/attrI2", "TRadioButton"),
    ("main/pFilter/gbAttr/gbAO", "TPanel"),
    ("main/pFilter/gbAttr/gbAO/attrA1", "TRadioButton"),
    ("main/pFilter/gbAttr/gbAO/attrA0", "TRadioButton"),
    ("main/pFilter/gbAttr/cbAtAr", "TCheckBox"),
    ("main/pFilter/gbAttr/cbAtCo", "TCheckBox"),
    ("main/pFilter/gbAttr/cbAtHi", "TCheckBox"),
    ("main/pFilter/gbAttr/cbAtNo", "TCheckBox"),
    ("main/pFilter/gbAttr/cbAtOf", "TCheckBox"),
    ("main/pFilter/gbAttr/cbAtRe", "TCheckBox"),
    ("main/pFilter/gbAttr/cbAtSy", "TCheckBox"),
    ("main/pFilter/gbAttr/cbAtTe", "TCheckBox"),
    # Options
    ("main/pOptions/gbSort", "TGroupBox"),
    ("main/pOptions/gbSort/cSort", "TComboBox"),
    ("main/pOptions/gbSort/bAsc", "TSpeedButton"),
    ("main/pOptions/gbSort/bDesc", "TSpeedButton"),
    ("main/pOptions/gbOther", "TGroupBox"),
    ("main/pOptions/gbOther/cbShowFolders", "TCheckBox"),
    ("main/pOptions/gbOther/cbShowFiles", "TCheckBox"),
    ("main/pOptions/gbOther/cbDiskSpace", "TCheckBox"),
    ("main/pOptions/gbOther/cbRecurSize", "TCheckBox"),
    ("main/pOptions/gbOther/cbSupprEmpty", "TCheckBox"),
    ("main/pOptions/gbOther/cbRecurEnd", "TCheckBox"),
    ("main/pOptions/gbOther/cbShowSummary", "TCheckBox"),
    ("main/pOptions/gbOther/cURLEnc", "TComboBox"),
    ("main/pOptions/gbOther/cSizeUnits", "TComboBox"),
    ("main/pOptions/gbOther/cWinFileTypes", "TComboBox"),
    ("main/pOptions/gbDateFormat", "TGroupBox"),
    ("main/pOptions/gbDateFormat/cDateFormat", "TComboBox"),
    ("main/pOptions/gbDateFormat/eDateFormat", "TEdit"),
    ("main/pOptions/gbDateFormat/bDateFormat", "TButton"),
    ("main/pOptions/gbDateFormat/cbGMT", "TCheckBox"),
    ("main/pOptions/gbDateFormat/lDateFormat", "TLabel"),
    ("main/pOptions/gbIcons", "TGroupBox"),
    ("main/pOptions/gbIcons/cbLocalIcons", "TCheckBox"),
    ("main/pOptions/gbIcons/eIconPath", "TEdit"),
    ("main/pOptions/gbIcons/cbThumbnails", "TCheckBox"),
    ("main/pOptions/gbPublish/eLinkBase", "TEdit"),
    ("main/pOptions/gbPublish/eOutputDir", "TEdit"),
    ("main/pOptions/gbPublish/bOutputDir", "TButton"),
    ("main/pOptions/gbPublish/eTitle", "TEdit"),
    # Build
    ("main/pBuild/gbButtons", "TPanel"),
    ("main/pBuild/gbButtons/bMake1", "TButton"),
    ("main/pBuild/gbButtons/bStop1", "TButton"),
    ("main/pBuild/gbButtons/bPreview1", "TButton"),
    ("main/pBuild/gbInfo", "TGroupBox"),
    ("main/pBuild/gbInfo/lInfo", "TLabel"),
]

# Values the wizard's code relies on: the first page showing, the lists that
# take no free text, the pickers' kinds, the exclusive sort buttons.
REQUIRED_VALUES = [
    ("main/pStyle", "Visible", None),
    ("main/pSource", "Visible", "false"),
    ("main/pFilter", "Visible", "false"),
    ("main/pOptions", "Visible", "false"),
    ("main/pBuild", "Visible", "false"),
    ("main/pStyle/p/imPanel/styleIm", "Stretch", "true"),
    ("main/pStyle/p/imPanel/styleIm", "Proportional", "true"),
    ("main/pStyle/p/comGb/styleL", "WordWrap", "true"),
    ("main/pBuild/gbInfo/lInfo", "WordWrap", "true"),
    ("main/pSource/gbRec/cbRec", "Style", "csDropDownList"),
    ("main/pFilter/gbFile/eIncFile", "Style", "csDropDown"),
    ("main/pFilter/gbTime/cTime", "Style", "csDropDownList"),
    ("main/pFilter/gbTime/cTimeInt", "Style", "csDropDownList"),
    ("main/pFilter/gbSize/cSize", "Style", "csDropDownList"),
    ("main/pFilter/gbTime/timeDT1", "Kind", "dtkDate"),
    ("main/pFilter/gbTime/timeDT2", "Kind", "dtkTime"),
    ("main/pFilter/gbTime/timeDT3", "Kind", "dtkDate"),
    ("main/pFilter/gbTime/timeDT4", "Kind", "dtkTime"),
    ("main/pOptions/gbSort/cSort", "Style", "csDropDownList"),
    ("main/pOptions/gbSort/bAsc", "GroupIndex", "1"),
    ("main/pOptions/gbSort/bAsc", "Down", "true"),
    ("main/pOptions/gbSort/bDesc", "GroupIndex", "1"),
    ("main/pOptions/gbOther/cURLEnc", "Style", "csDropDownList"),
    ("main/pOptions/gbOther/cSizeUnits", "Style", "csDropDownList"),
    ("main/pOptions/gbOther/cWinFileTypes", "Style", "csDropDownList"),
    ("main/pOptions/gbDateFormat/cDateFormat", "Style", "csDropDownList"),
]

COMMENT = re.compile(r"<!--.*?-->", re.S)
# A start tag as the program's reader sees it: it ends at the first ">",
# whatever quotes are open.
RAW_START_TAG = re.compile(r"<([A-Za-z_:][^\s/>]*)([^>]*)>")


def class_of(element):
    return CLASS_BY_LOWER.get((element.get("class") or "").lower())


def is_visual(element):
    return class_of(element) not in NON_VISUAL


def number(element, name, default=None):
    value = element.get(name)
    return int(value) if value is not None and value.isdigit() else default


def plain_text(caption):
    """The caption as shown: "&&" is one "&", a single "&" marks the mnemonic."""
    return re.sub(r"&(.)", r"\1", caption)


def mnemonic(caption):
    match = re.search(r"(?<!&)&([^&\s])", caption.replace("&&", ""))
    return match.group(1).lower() if match else None


def string_items(value):
    """The items of a Strings value and the problems of its lines."""
    items, problems = [], []
    for line in re.split(r"\r\n|\r|\n", value):
        line = line.lstrip(" \t")
        if line[:1] in ("'", '"'):
            quote, i, item = line[0], 1, ""
            while i < len(line) and line[i] != quote:
                if line[i] == "\\" and i + 1 < len(line) and line[i + 1] == quote:
                    i += 1
                item += line[i]
                i += 1
            if i >= len(line):
                problems.append(f"unclosed quote in {line!r}")
            rest = line[i + 1:]
        else:
            item = re.split(r"[ \t]", line, maxsplit=1)[0]
            rest = line[len(item):]
        if rest.strip():
            problems.append(f"only the first item of a line counts, {rest.strip()!r} is lost")
        items.append(item)
    return items, problems


class Checker:
    def __init__(self, path):
        self.path = path
        self.data_dir = os.path.dirname(os.path.dirname(os.path.abspath(path)))
        self.problems = []
        self.paths = {}  # element -> its path from the root

    def problem(self, element, text):
        self.problems.append(f"{self.paths.get(element) or ROOT_NAME}: {text}")

    # -- markup ------------------------------------------------------------

    def check_raw(self, text):
        if text.lstrip().startswith("<?xml"):
            self.problems.append("an XML declaration would land in the middle of vostra.bin")
        for match in RAW_START_TAG.finditer(COMMENT.sub("", text)):
            if match.group(2).count('"') % 2:
                self.problems.append(f"<{match.group(1)}>: a raw '>' inside a value ends the tag "
                                     "early for the program's reader; write &gt;")

    def index(self, element, path):
        self.paths[element] = path
        seen = set()
        for child in element:
            if child.tag in seen:
                self.problem(child, "two siblings share this name, so the path is ambiguous")
            seen.add(child.tag)
            self.index(child, f"{path}/{child.tag}" if path else child.tag)

    # -- classes and properties -------------------------------------------

    def check_properties(self, element):
        name = class_of(element)
        if element.get("class") is None:
            self.problem(element, "no class (error 50000)")
            return
        if name is None:
            self.problem(element, f"unknown class {element.get('class')!r} (error 50001)")
            return
        allowed = set((NON_VISUAL.get(name) or f"{COMMON} {CLASSES[name]}").split())
        for key, value in element.attrib.items():
            if key == "class":
                continue
            if key not in allowed:
                self.problem(element, f"{name} has no property {key} (error 50003)")
                continue
            kind = ENUMERATIONS.get((name, key)) or ENUMERATIONS.get(key)
            if key == "Position" and name != "TForm":
                kind = None
            if key in BOOLEANS and value not in ("true", "false"):
                self.problem(element, f"{key}={value!r}: booleans are true or false")
            elif kind and value not in kind.split():
                self.problem(element, f"{key}={value!r}: not one of {kind}")
            elif key in INTEGERS and not kind and not value.isdigit():
                self.problem(element, f"{key}={value!r}: not a decimal number (negatives only by name)")
            elif key in NAMED_INTEGERS and not re.fullmatch(r"[0-9]+|[A-Za-z]\w*", value):
                self.problem(element, f"{key}={value!r}: not a number or a name")
            elif key == "Font.Style" and not set(value.split("|")) <= FONT_STYLES:
                self.problem(element, f"Font.Style={value!r}: parts must be among {sorted(FONT_STYLES)}")
            elif key.endswith(".Strings"):
                for text in string_items(value)[1]:
                    self.problem(element, f"{key}: {text}")
            elif key.endswith(".File") and not os.path.isfile(os.path.join(self.data_dir, value)):
                self.problem(element, f"{key}: no file {value} in the program folder (error 50003)")
            elif key.endswith(".Data") and not re.fullmatch(r"(?:[0-9A-Fa-f]{2})+", value):
                self.problem(element, f"{key}: not hexadecimal bytes")

    # -- layout ------------------------------------------------------------

    def arrange(self, element, width, height, children):
        """Rectangles (x, y, w, h) of `children` in `element` sized width x height,
        placed as the builder places them."""
        padding = number(element, "Padding", 0)
        spacing = number(element, "Spacing", 0)
        top_room = {"TGroupBox": GROUP_CAPTION, "TRadioGroup": GROUP_CAPTION,
                    "TTabControl": TAB_BAR}.get(class_of(element), 0)
        if class_of(element) == "TForm" and any(class_of(c) == "TMainMenu" for c in element):
            top_room = MENU_BAR
        left, top, right, bottom = padding, padding + top_room, width - padding, height - padding
        by_align = {}
        for child in children:
            by_align.setdefault(child.get("Align", "alNone"), []).append(child)
        rects = {}
        for child in sorted(by_align.get("alTop", []), key=lambda c: number(c, "Top", 0)):
            m, h = number(child, "Margin", 0), number(child, "Height", 0)
            rects[child] = (left + m, top + m, right - left - 2 * m, h)
            top += h + 2 * m + spacing
        for child in sorted(by_align.get("alBottom", []), key=lambda c: -number(c, "Top", 0)):
            m, h = number(child, "Margin", 0), number(child, "Height", 0)
            rects[child] = (left + m, bottom - m - h, right - left - 2 * m, h)
            bottom -= h + 2 * m + spacing
        for child in sorted(by_align.get("alLeft", []), key=lambda c: number(c, "Left", 0)):
            m, w = number(child, "Margin", 0), number(child, "Width", 0)
            rects[child] = (left + m, top + m, w, bottom - top - 2 * m)
            left += w + 2 * m + spacing
        for child in sorted(by_align.get("alRight", []), key=lambda c: -number(c, "Left", 0)):
            m, w = number(child, "Margin", 0), number(child, "Width", 0)
            rects[child] = (right - m - w, top + m, w, bottom - top - 2 * m)
            right -= w + 2 * m + spacing
        for child in by_align.get("alClient", []):
            m = number(child, "Margin", 0)
            rects[child] = (left + m, top + m, right - left - 2 * m, bottom - top - 2 * m)
        for child in by_align.get("alNone", []):
            rects[child] = tuple(number(child, key, 0) for key in ("Left", "Top", "Width", "Height"))
        return rects

    def check_layout(self, element, width, height):
        children = [c for c in element if is_visual(c) and class_of(c)]
        shown = [c for c in children if c.get("Visible") != "false"]
        rects = self.arrange(element, width, height, shown)
        # A hidden child is checked where it would sit once the code shows it.
        for child in children:
            if child not in rects:
                rects[child] = self.arrange(element, width, height, shown + [child])[child]
        name = class_of(element)
        # An auto-size container is as high as its stacked strips or its
        # lowest unaligned child; with only left, right or client children
        # nothing gives it a height.
        if element.get("AutoSize") == "true" and name in ("TPanel", "TGroupBox") and not any(
                c.get("Align", "alNone") in ("alTop", "alBottom", "alNone") for c in children):
            self.problem(element, "AutoSize with no alTop, alBottom or unaligned child folds it to nothing")
        for child in children:
            x, y, w, h = rects[child]
            align = child.get("Align", "alNone")
            needs = {"alNone": ("Left", "Top", "Width", "Height"), "alTop": ("Height",),
                     "alBottom": ("Height",), "alLeft": ("Width",), "alRight": ("Width",)}
            missing = [key for key in needs.get(align, ()) if number(child, key) is None]
            if missing:
                self.problem(child, f"{align} needs {', '.join(missing)}")
            if w <= 0 or h <= 0:
                self.problem(child, f"no room: laid out {w} x {h}")
            elif x < 0 or y < 0 or x + w > width or y + h > height:
                self.problem(child, f"sticks out of its parent: {x},{y} {w}x{h} in {width}x{height}")
            elif align == "alNone" and name in ("TGroupBox", "TRadioGroup") and y < GROUP_CAPTION:
                self.problem(child, f"Top {y} lies under the group's caption")
            self.check_text_room(child, w)
            if class_of(child) in CONTAINERS:
                self.check_layout(child, w, h)
        self.check_making_order(children)
        for i, a in enumerate(shown):
            for b in shown[i + 1:]:
                ax, ay, aw, ah = rects[a]
                bx, by, bw, bh = rects[b]
                if ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah:
                    self.problem(a, f"overlaps {b.tag}")
        self.check_tab_order(element, children, rects)

    def check_making_order(self, children):
        """The builder arranges a container each time a child is made and sorts
        the children of one side by where they are at that moment. So an
        aligned child gives its position before its Align, and the children of
        one side are written in the order they are placed, nearest the side
        first; otherwise the window comes out in another order than described."""
        sides = {"alTop": ("Top", 1), "alBottom": ("Top", -1), "alLeft": ("Left", 1), "alRight": ("Left", -1)}
        for align, (key, direction) in sides.items():
            side = [c for c in children if c.get("Align") == align]
            for child in side:
                keys = list(child.attrib)
                if any(k in keys and keys.index(k) > keys.index("Align")
                       for k in ("Left", "Top", "Width", "Height")):
                    self.problem(child, "Left, Top, Width and Height must come before Align")
            placed = sorted(side, key=lambda c: direction * number(c, key, 0))
            if placed != side:
                self.problem(side[0], f"{align} siblings must be written in the order they are placed: "
                             + ", ".join(c.tag for c in placed))

    def check_text_room(self, element, width):
        name = class_of(element)
        scale = number(element, "Font.Size", BASE_FONT_SIZE) / BASE_FONT_SIZE
        caption = element.get("Caption", "")
        needed = len(plain_text(caption)) * CHAR_WIDTH * scale
        extra = {"TButton": 16, "TBitBtn": 16, "TSpeedButton": 16, "TCheckBox": 22,
                 "TRadioButton": 22, "TGroupBox": 16, "TRadioGroup": 16,
                 "TPanel": 2 * number(element, "Padding", 0)}
        if name in ("TLabel", "TStaticText"):
            if element.get("WordWrap") == "true" or element.get("AutoSize") != "false":
                return
            extra[name] = 0
        if name in ("TSpeedButton", "TBitBtn") and element.get("Glyph.File") and element.get("ShowCaption") != "false":
            extra[name] += 28
        if name == "TComboBox":
            items = string_items(element.get("Items.Strings", ""))[0]
            needed = max((len(item) for item in items), default=0) * CHAR_WIDTH * scale
            extra[name] = 28
        if name in extra and needed and needed + extra[name] > width:
            self.problem(element, f"text needs about {round(needed + extra[name])} px, has {width}")

    def check_tab_order(self, element, children, rects):
        # Controls the description hides are alternatives the code shows in
        # another control's place, so reading order says nothing of them.
        ordered = [c for c in children if c.get("TabOrder") is not None and c.get("TabOrder").isdigit()
                   and c.get("Visible") != "false"]
        orders = [int(c.get("TabOrder")) for c in ordered]
        if len(set(orders)) != len(orders):
            self.problem(element, "two children share a TabOrder")
        ordered.sort(key=lambda c: int(c.get("TabOrder")))
        for a, b in zip(ordered, ordered[1:]):
            ax, ay, _, ah = rects[a]
            bx, by, _, bh = rects[b]
            a_middle, b_middle = ay + ah / 2, by + bh / 2
            same_row = abs(a_middle - b_middle) <= 6
            if (same_row and bx < ax) or (not same_row and b_middle < a_middle):
                self.problem(b, f"TabOrder puts it after {a.tag}, which comes later in reading order")

    # -- references --------------------------------------------------------

    def check_references(self, root):
        counts = {}
        for element in root.iter():
            counts[element.tag] = counts.get(element.tag, 0) + 1
        for element in root.iter():
            target = element.get("FocusControl")
            if target is not None and counts.get(target) != 1:
                self.problem(element, f"FocusControl {target!r} names {counts.get(target, 0)} components, not one")

    def check_mnemonics(self, root):
        """No page takes the mnemonic of a bar that always shows, or the bar's
        key would only move focus. Within a page two captions share one only
        when the page has more captions than letters left for them; the key
        then moves focus between them."""
        main = root.find("main")
        if main is None:
            return
        pages = [c for c in main if c.get("Align") == "alClient"]
        on_pages = {e for page in pages for e in page.iter()}
        bars = {key: [f"menu {name}"] for key, name in self.menu_keys().items()}
        for element in root.iter():
            key = mnemonic(element.get("Caption", ""))
            if key and element not in on_pages:
                bars.setdefault(key, []).append(element.tag)
        for key, names in sorted(bars.items()):
            if len(names) > 1:
                self.problem(root, f"mnemonic {key!r} is shared by {', '.join(names)}")
        for page in pages:
            owners = {}
            letters = set()
            for element in page.iter():
                caption = element.get("Caption", "")
                key = mnemonic(caption)
                if key:
                    owners.setdefault(key, []).append(element.tag)
                    letters |= {c.lower() for c in plain_text(caption) if c.isalpha()}
            letters -= set(bars)
            crowded = sum(len(names) for names in owners.values()) > len(letters)
            for key, names in sorted(owners.items()):
                if key in bars:
                    self.problem(page, f"mnemonic {key!r} of {', '.join(names)} is the bar's {bars[key][0]}")
                elif len(names) > 1 and not crowded:
                    self.problem(page, f"mnemonic {key!r} is shared by {', '.join(names)}")

    def menu_keys(self):
        """The menu bar's mnemonics: the window makes its titles from phrases
        245 to 250 of the language file beside the description."""
        langs = os.path.join(os.path.dirname(self.path), "langs-en.xml")
        try:
            text = open(langs, encoding="utf-8").read()
        except OSError:
            return {}
        keys = {}
        for number in range(245, 251):
            found = re.search(rf"<_{number}>([^<]*)</_{number}>", text)
            key = mnemonic(found.group(1).replace("&amp;", "&")) if found else None
            if key:
                keys[key] = plain_text(found.group(1).replace("&amp;", "&"))
        return keys

    def run(self):
        try:
            with open(self.path, encoding="utf-8") as stream:
                text = stream.read()
            root = ET.fromstring(text)
        except (OSError, UnicodeDecodeError, ET.ParseError) as error:
            self.problems.append(f"{self.path}: cannot read it as markup ({error})")
            return
        self.check_raw(text)
        if root.tag != ROOT_NAME or class_of(root) != "TForm":
            self.problems.append(f"the root must be {ROOT_NAME} of class TForm, not {root.tag}")
        self.index(root, "")
        for element in root.iter():
            self.check_properties(element)
        for path, expected in REQUIRED:
            element = root.find(path)
            if element is None:
                self.problems.append(f"{path}: missing")
            elif class_of(element) != expected:
                self.problem(element, f"class {element.get('class')}, expected {expected}")
        for path, key, expected in REQUIRED_VALUES:
            element = root.find(path)
            if element is not None and element.get(key) != expected:
                found = "unset" if element.get(key) is None else repr(element.get(key))
                self.problem(element, f"{key} is {found}, expected {'unset' if expected is None else repr(expected)}")
        if self.problems:
            return  # the layout of a broken description says little
        width = number(root, "ClientWidth") or number(root, "Width")
        height = number(root, "ClientHeight") or number(root, "Height")
        if not width or not height:
            self.problems.append("the form needs ClientWidth and ClientHeight (or Width and Height)")
            return
        self.check_layout(root, width, height)
        self.check_references(root)
        self.check_mnemonics(root)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    path = argv[1] if len(argv) > 1 else os.path.normpath(os.path.join(here, "..", "data", "sources", "ui.xml"))
    checker = Checker(path)
    checker.run()
    for text in checker.problems:
        print(text)
    if checker.problems:
        print(f"{len(checker.problems)} problem(s) in {path}")
        return 1
    print(f"{path}: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
