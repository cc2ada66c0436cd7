#!/usr/bin/env python3
"""Reads the compiled resources of the two programs back from their PE files
and compares them with the resource tables the windows are built on.

  check_resources.py --downloader DOWN.exe --uploader UP.exe [--artwork DIR]

Exit status 0 when everything matches; otherwise every difference is listed.
"""
import argparse
import struct
import sys

import pefile

KOREAN = 0x412
RT_BITMAP, RT_MENU, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 2, 4, 5, 6, 14, 16, 24
RT_DLGINIT = 240

WS_CHILD, WS_VISIBLE, WS_TABSTOP, WS_GROUP, WS_BORDER = 0x40000000, 0x10000000, 0x10000, 0x20000, 0x800000
WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX = 0x80000000, 0xC00000, 0x80000, 0x20000
DS_SETFONT, DS_MODALFRAME = 0x40, 0x80
WS_EX_TRANSPARENT, WS_EX_STATICEDGE, WS_EX_APPWINDOW = 0x20, 0x20000, 0x40000
BROWSER_CLASS = "{8856F961-340A-11D0-A96B-00C04FD705A2}"
ATOMS = {0x80: "Button", 0x81: "Edit", 0x82: "Static", 0x83: "ListBox", 0x84: "ScrollBar", 0x85: "ComboBox"}

# kind: (class, low style bits and their mask, tab stop, extra style bits, extended style)
KINDS = {
    "odbtn": ("Button", 0xB, 0xF, True, 0, 0),
    "odbtn_t": ("Button", 0xB, 0xF, True, 0, WS_EX_TRANSPARENT),
    "check": ("Button", 0x3, 0xF, True, 0, 0),
    "radio": ("Button", 0x9, 0xF, False, 0, 0),
    "push": ("Button", 0x0, 0xF, True, 0, 0),
    "status": ("Static", 0x0, 0x1F, False, WS_GROUP, 0),
    "status_t": ("Static", 0x0, 0x1F, False, WS_GROUP, WS_EX_TRANSPARENT),
    "static": ("Static", 0x0, 0x1F, False, 0, 0),
    "cstatic": ("Static", 0x1, 0x1F, False, 0, 0),
    "placeholder": ("Static", 0x12, 0x1F, False, 0, 0),
    "roedit": ("Edit", 0x880, 0x8FF, False, WS_BORDER, 0),
    "list": ("SysListView32", 0x8009, 0x800B, True, 0, WS_EX_STATICEDGE),
    "browser": (BROWSER_CLASS, 0, 0, True, 0, 0),
}

DOWN_MAIN = [
    (1001, "odbtn", "", (343, 16, 9, 9)), (1002, "odbtn_t", "", (332, 16, 9, 9)),
    (1003, "odbtn", "", (354, 16, 9, 9)), (1006, "list", "", (9, 117, 351, 92)),
    (1017, "check", "프로그램종료", (54, 245, 50, 8)), (1034, "check", "시스템종료", (111, 245, 57, 8)),
    (1007, "odbtn", "", (13, 219, 13, 16)), (1008, "odbtn", "", (28, 219, 13, 15)),
    (1009, "odbtn", "", (43, 219, 13, 15)), (1010, "odbtn", "", (58, 219, 13, 15)),
    (1013, "odbtn", "", (74, 219, 48, 16)), (1014, "odbtn", "", (126, 219, 48, 16)),
    (1046, "odbtn", "", (234, 219, 38, 36)), (1016, "odbtn", "", (276, 219, 38, 36)),
    (1035, "odbtn", "", (318, 219, 37, 36)), (1011, "odbtn", "", (312, 94, 43, 14)),
    (1036, "odbtn", "", (252, 94, 57, 14)), (1037, "odbtn", "", (263, 13, 59, 20)),
    (1038, "status", "", (13, 48, 203, 8)), (1041, "status_t", "", (248, 49, 36, 8)),
    (1042, "status_t", "", (320, 49, 34, 8)), (1045, "status", "", (52, 97, 195, 11)),
    (1040, "placeholder", "", (50, 65, 304, 12)), (1004, "placeholder", "", (50, 80, 304, 12)),
    (1026, "browser", "", (10, 270, 350, 42)),
]

UP_MAIN = [
    (1007, "odbtn", "", (343, 16, 9, 9)), (1008, "odbtn_t", "", (332, 16, 9, 9)),
    (1009, "odbtn", "", (354, 16, 9, 9)), (1014, "list", "List1", (9, 117, 351, 92)),
    (1015, "check", "창닫기", (54, 245, 50, 8)), (1016, "check", "컴퓨터종료", (111, 245, 57, 8)),
    (1022, "odbtn", "", (13, 219, 13, 16)), (1020, "odbtn", "", (28, 219, 13, 15)),
    (1021, "odbtn", "", (43, 219, 13, 15)), (1023, "odbtn", "", (58, 219, 13, 15)),
    (1018, "odbtn", "", (74, 219, 48, 16)), (1019, "odbtn", "", (126, 219, 48, 16)),
    (1028, "odbtn", "", (318, 219, 37, 36)), (1048, "odbtn", "", (312, 94, 43, 14)),
    (1027, "odbtn", "", (263, 13, 59, 20)), (1044, "status", "", (13, 48, 203, 8)),
    (1045, "status", "", (248, 48, 36, 8)), (1029, "status", "", (320, 48, 34, 8)),
    (1046, "placeholder", "", (50, 65, 304, 12)), (1036, "placeholder", "", (50, 80, 304, 12)),
    (1041, "browser", "", (10, 270, 350, 42)),
]

# (downloader id, uploader id, kind, text, place); -1 is a static without id.
CONFIG = [
    (-1, -1, "static", "기본 저장폴더 설정 : ", (15, 54, 70, 11)),
    (-1, -1, "static", "같은파일의 이름 : ", (23, 71, 60, 9)),
    (-1, -1, "static", "다운로드 완료시 : ", (17, 106, 62, 9)),
    (-1, -1, "static", "전송 완료시 : ", (36, 209, 60, 11)),
    (1069, 1037, "roedit", "", (88, 53, 136, 12)),
    (1070, 1054, "odbtn", "", (228, 52, 36, 14)),
    (1058, 1055, "odbtn", "", (100, 243, 43, 16)),
    (1003, 1009, "odbtn", "", (158, 243, 43, 16)),
    (1021, 1057, "radio", "항상 덮어쓰기", (87, 72, 55, 9)),
    (1022, 1058, "radio", "확인후 전송", (155, 72, 49, 9)),
    (1075, 1059, "radio", "이어받기", (216, 72, 39, 10)),
    (1076, 1060, "check", "컨트롤러 시작시 자동으로 전송하기", (50, 89, 122, 10)),
    (1077, 1061, "check", "저장폴더 설정 사용", (182, 89, 74, 10)),
    (1078, 1062, "check", "목록삭제", (82, 105, 43, 11)),
    (1079, 1063, "check", "프로그램 자동종료", (133, 105, 71, 11)),
    (1080, 1064, "check", "시스템종료", (210, 105, 48, 10)),
    (1081, 1065, "check", "파일추가시 자동전송", (33, 170, 102, 10)),
    (1082, 1066, "check", "파일전송시 트레이아이콘 표시", (33, 186, 104, 10)),
    (1083, 1067, "check", "전송창 표시", (100, 210, 51, 10)),
    (1084, 1068, "check", "프로그램종료", (163, 210, 55, 10)),
    (1085, 1069, "check", "시스템종료", (226, 210, 48, 10)),
]

OVERWRITE = [
    (-1, "cstatic", "다운로드할 파일이 이미 존제합니다.", (4, 5, 190, 9)),
    (1024, "cstatic", "", (4, 17, 190, 8)),
    (1021, "radio", "덮어쓰기", (50, 30, 40, 10)),
    (1022, "radio", "이어받기", (100, 30, 40, 10)),
    (1023, "push", "확인", (74, 45, 50, 15)),
]

# bitmap id: (width, height, bits per pixel)
DOWN_BITMAPS = {
    143: (64, 14, 24), 142: (64, 14, 24), 140: (64, 14, 24), 138: (96, 24, 24), 139: (96, 24, 24),
    134: (96, 24, 24), 131: (96, 24, 24), 136: (300, 21, 24), 133: (336, 23, 24), 132: (336, 23, 24),
    137: (268, 53, 24), 179: (264, 53, 24), 178: (404, 21, 24), 180: (416, 30, 24), 183: (268, 53, 24),
    192: (304, 24, 24), 194: (304, 24, 24), 135: (252, 21, 24), 130: (348, 21, 24),
}
UP_BITMAPS = {
    132: (64, 14, 24), 134: (64, 14, 24), 133: (64, 14, 24), 150: (336, 23, 32), 153: (336, 23, 32),
    151: (96, 24, 32), 145: (96, 24, 32), 146: (96, 24, 32), 155: (96, 24, 24), 1027: (416, 30, 32),
    154: (268, 52, 32), 156: (300, 21, 24), 194: (304, 24, 24), 152: (252, 21, 24), 196: (304, 24, 24),
    149: (348, 21, 24), 190: (404, 21, 24),
}

MENU_ITEMS = [(32771, "홈페이지 접속"), (0, None), (32772, "{show}"), (32773, "환경설정"), (0, None),
              (32774, "프로그램종료")]


class Checker:
    def __init__(self, label, path):
        self.label = label
        self.pe = pefile.PE(path)
        self.data = self.pe.get_memory_mapped_image()
        self.errors = []

    def fail(self, what):
        self.errors.append("%s: %s" % (self.label, what))

    def expect(self, what, actual, expected):
        if actual != expected:
            self.fail("%s is %r, expected %r" % (what, actual, expected))

    def resource(self, rtype, rid, lang=KOREAN):
        for t in self.pe.DIRECTORY_ENTRY_RESOURCE.entries:
            if t.id != rtype:
                continue
            for e in t.directory.entries:
                if e.id != rid:
                    continue
                for l in e.directory.entries:
                    if lang is None or l.id == lang:
                        s = l.data.struct
                        return self.pe.get_data(s.OffsetToData, s.Size)
        self.fail("resource type %d id %d (language %s) is missing" % (rtype, rid, lang))
        return None

    def ids(self, rtype):
        for t in self.pe.DIRECTORY_ENTRY_RESOURCE.entries:
            if t.id == rtype:
                return sorted(e.id for e in t.directory.entries)
        return []

    # ------------------------------------------------------------ dialogs
    def check_dialog(self, rid, expect_ex, style, exstyle, size, font, cls, caption, controls):
        raw = self.resource(RT_DIALOG, rid)
        if raw is None:
            return
        dlg = parse_dialog(raw)
        where = "dialog %d" % rid
        self.expect(where + " extended template", dlg["ex"], expect_ex)
        self.expect(where + " style", hex(dlg["style"]), hex(style))
        self.expect(where + " extended style", hex(dlg["exstyle"]), hex(exstyle))
        self.expect(where + " size", dlg["size"], size)
        self.expect(where + " font", dlg["font"], font)
        self.expect(where + " class", dlg["class"] and dlg["class"].upper(), cls and cls.upper())
        self.expect(where + " caption", dlg["caption"], caption)
        self.expect(where + " control count", len(dlg["items"]), len(controls))
        by_place = {}
        for item in dlg["items"]:
            by_place.setdefault((item["id"], item["rect"]), item)
        for cid, kind, text, rect in controls:
            item = by_place.get((cid & 0xFFFF, rect))
            name = "%s control %d at %s" % (where, cid, rect)
            if item is None:
                self.fail(name + " is missing")
                continue
            cls_name, low, mask, tab, extra, ex = KINDS[kind]
            # Window class names are case-insensitive (the resource compiler
            # stores them upper-cased or as the standard classes' ordinals).
            self.expect(name + " class", str(item["class"]).upper(), cls_name.upper())
            self.expect(name + " text", item["text"], text)
            st = item["style"]
            if (st & (WS_CHILD | WS_VISIBLE)) != (WS_CHILD | WS_VISIBLE):
                self.fail(name + " is not a visible child")
            if mask and (st & mask) != low:
                self.fail(name + " style %#x lacks kind bits %#x" % (st, low))
            self.expect(name + " tab stop", bool(st & WS_TABSTOP), tab)
            if extra and (st & extra) != extra:
                self.fail(name + " style %#x lacks %#x" % (st, extra))
            self.expect(name + " extended style", hex(item["exstyle"]), hex(ex))
        return dlg

    def check_main(self, upload):
        controls = UP_MAIN if upload else DOWN_MAIN
        caption = "QUorvane - 업로드" if upload else "QUorvane - 다운로드"
        cls = "haulbox_uploader" if upload else "Haulbox_downloader"
        style = DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
        self.check_dialog(102, True, style, WS_EX_APPWINDOW, (371, 325), (9, "굴림", 0, 0, 1), cls, caption,
                          controls)
        init = self.resource(RT_DLGINIT, 102)
        if init is not None:
            cid, msg, length = struct.unpack_from("<HHI", init, 0)
            self.expect("dialog 102 init data control", cid, 1041 if upload else 1026)
            self.expect("dialog 102 init data length", length, 160)
            self.expect("dialog 102 init data size", len(init), 8 + 160 + 2)

    def check_config(self, upload):
        rid = 193 if upload else 191
        controls = [(u if upload else d, kind, text, rect) for d, u, kind, text, rect in CONFIG]
        self.check_dialog(rid, True, DS_SETFONT | WS_CAPTION, 0, (303, 273), (9, "굴림", 400, 0, 1), None, "",
                          controls)

    def check_overwrite(self):
        self.check_dialog(129, False, DS_SETFONT | DS_MODALFRAME | WS_CAPTION, 0, (199, 63), (9, "Arial"), None,
                          "중복파일", OVERWRITE)

    # ------------------------------------------------------------ the rest
    def check_menu(self, rid, popup, show_text):
        raw = self.resource(RT_MENU, rid)
        if raw is None:
            return
        items = parse_menu(raw)
        expected = [(popup, 0x10, [(i, show_text if t == "{show}" else t) for i, t in MENU_ITEMS])]
        self.expect("menu %d" % rid, items, expected)

    def check_string(self):
        block = self.resource(RT_STRING, 57344 // 16 + 1)
        if block is None:
            return
        strings, pos = [], 0
        for _ in range(16):
            (n,) = struct.unpack_from("<H", block, pos)
            strings.append(block[pos + 2:pos + 2 + 2 * n].decode("utf-16-le"))
            pos += 2 + 2 * n
        self.expect("string 57344", strings[57344 % 16], "Velmintor")

    def check_version(self, exe_name):
        info = {}
        for fi in getattr(self.pe, "FileInfo", []):
            for entry in fi:
                for table in getattr(entry, "StringTable", []):
                    self.expect("version string table", table.LangID, b"041204b0")
                    info.update({k.decode(): v.decode() for k, v in table.entries.items()})
        ffi = self.pe.VS_FIXEDFILEINFO[0]
        self.expect("file version", (ffi.FileVersionMS, ffi.FileVersionLS), (0x10000, 8))
        self.expect("product version", (ffi.ProductVersionMS, ffi.ProductVersionLS), (0x10000, 8))
        for key, value in (("FileVersion", "1, 0, 0, 8"), ("ProductVersion", "1, 0, 0, 8"),
                           ("ProductName", "Quorvane"), ("FileDescription", "Quorvane"), ("CompanyName", "kavno"),
                           ("OriginalFilename", exe_name), ("InternalName", exe_name)):
            self.expect("version " + key, info.get(key), value)
        self.resource(RT_VERSION, 1)

    def check_manifest(self):
        raw = self.resource(RT_MANIFEST, 1, lang=None)
        if raw is None:
            return
        text = raw.decode("utf-8")
        if 'level="requireAdministrator"' not in text or 'uiAccess="true"' not in text:
            self.fail("manifest does not ask for administrator rights with uiAccess: " + text)

    def check_icons(self, tray_id):
        self.expect("icon groups", self.ids(RT_GROUP_ICON), sorted([128, tray_id]))
        for gid in (128, tray_id):
            raw = self.resource(RT_GROUP_ICON, gid)
            if raw is None:
                continue
            _, _, count = struct.unpack_from("<HHH", raw, 0)
            sizes, depths = [], []
            for i in range(count):
                w, h, _, _, _, bits, _, _ = struct.unpack_from("<BBBBHHIH", raw, 6 + 14 * i)
                sizes.append(w or 256)
                depths.append(bits)
            self.expect("icon %d sizes" % gid, sorted(sizes), [16, 32, 48, 64, 128])
            self.expect("icon %d colour depths" % gid, set(depths), {32})

    def check_bitmaps(self, table):
        self.expect("bitmap ids", self.ids(RT_BITMAP), sorted(table))
        for bid, (w, h, bits) in table.items():
            raw = self.resource(RT_BITMAP, bid)
            if raw is None:
                continue
            size, bw, bh, planes, bpp, compression = struct.unpack_from("<IiiHHI", raw, 0)
            self.expect("bitmap %d" % bid, (bw, bh, bpp, compression), (w, h, bits, 0))
            if bh < 0:
                self.fail("bitmap %d is top-down" % bid)


def read_sz_or_ord(raw, pos):
    (first,) = struct.unpack_from("<H", raw, pos)
    if first == 0:
        return None, pos + 2
    if first == 0xFFFF:
        (ordinal,) = struct.unpack_from("<H", raw, pos + 2)
        return ordinal, pos + 4
    end = pos
    while struct.unpack_from("<H", raw, end)[0] != 0:
        end += 2
    return raw[pos:end].decode("utf-16-le"), end + 2


def align4(pos):
    return (pos + 3) & ~3


def parse_dialog(raw):
    ex = struct.unpack_from("<HH", raw, 0) == (1, 0xFFFF)
    if ex:
        _, _, _, exstyle, style, count, x, y, cx, cy = struct.unpack_from("<HHIIIHhhhh", raw, 0)
        pos = 26
    else:
        style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", raw, 0)
        pos = 18
    menu, pos = read_sz_or_ord(raw, pos)
    cls, pos = read_sz_or_ord(raw, pos)
    caption, pos = read_sz_or_ord(raw, pos)
    font = None
    if style & DS_SETFONT:
        if ex:
            points, weight, italic, charset = struct.unpack_from("<HHBB", raw, pos)
            face, pos = read_sz_or_ord(raw, pos + 6)
            font = (points, face, weight, italic, charset)
        else:
            (points,) = struct.unpack_from("<H", raw, pos)
            face, pos = read_sz_or_ord(raw, pos + 2)
            font = (points, face)
    items = []
    for _ in range(count):
        pos = align4(pos)
        if ex:
            _, iex, ist, ix, iy, icx, icy, iid = struct.unpack_from("<IIIhhhhI", raw, pos)
            pos += 24
        else:
            ist, iex, ix, iy, icx, icy, iid = struct.unpack_from("<IIhhhhH", raw, pos)
            pos += 18
        icls, pos = read_sz_or_ord(raw, pos)
        text, pos = read_sz_or_ord(raw, pos)
        (extra,) = struct.unpack_from("<H", raw, pos)
        pos += 2 + extra
        items.append({"id": iid & 0xFFFF, "style": ist, "exstyle": iex, "rect": (ix, iy, icx, icy),
                      "class": ATOMS.get(icls, icls), "text": text or ""})
    return {"ex": ex, "style": style, "exstyle": exstyle, "size": (cx, cy), "menu": menu, "class": cls,
            "caption": caption or "", "font": font, "items": items}


def parse_menu(raw):
    """Standard MENU template as [(text, flags, [(id, text or None for separators)])]."""
    pos = 4
    popups = []
    stack = [popups]
    while pos < len(raw) and stack:
        (flags,) = struct.unpack_from("<H", raw, pos)
        pos += 2
        if flags & 0x10:  # MF_POPUP
            text, pos = read_sz_or_ord(raw, pos)
            children = []
            stack[-1].append((text, 0x10, children))
            stack.append(children)
            continue
        (mid,) = struct.unpack_from("<H", raw, pos)
        text, pos = read_sz_or_ord(raw, pos + 2)
        stack[-1].append((mid, text))
        if flags & 0x80:  # MF_END closes the innermost pop-up
            stack.pop()
    return popups


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--downloader", required=True)
    ap.add_argument("--uploader", required=True)
    args = ap.parse_args()

    down = Checker("Haulbox_DOWN", args.downloader)
    down.check_main(upload=False)
    down.check_config(upload=False)
    down.check_overwrite()
    down.check_menu(145, "Tray Menu", "파일 다운로드 창보기")
    down.check_string()
    down.check_version("Haulbox_DOWN.exe")
    down.check_manifest()
    down.check_icons(146)
    down.check_bitmaps(DOWN_BITMAPS)

    up = Checker("Haulbox_UPLOAD", args.uploader)
    up.check_main(upload=True)
    up.check_config(upload=True)
    up.check_menu(135, "Tray", "파일 업로드 창보기")
    up.check_string()
    up.check_version("Haulbox_UPLOAD.EXE")
    up.check_manifest()
    up.check_icons(141)
    up.check_bitmaps(UP_BITMAPS)
    if 129 in up.ids(RT_DIALOG):
        up.fail("the existing-file prompt belongs to the downloader only")

    errors = down.errors + up.errors
    for e in errors:
        print(e)
    print("%d differences" % len(errors))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
