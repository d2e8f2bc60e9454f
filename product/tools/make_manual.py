#!/usr/bin/env python3
"""Writes the VANTIX Pro user's manual, product/data/vxcore32.pdf.

The PDF is written object by object: the standard Helvetica, Helvetica-Bold and Courier fonts
(which every PDF reader has, so nothing is embedded), one uncompressed content stream per page,
and a cross-reference table with the byte offset of every object. Lines are broken with a rough
table of Helvetica character widths that errs on the wide side. No date is stored, so running the
script again gives the same bytes. Standard library only.

    python3 product/tools/make_manual.py [output file]
"""
import os
import sys

PAGE_WIDTH, PAGE_HEIGHT = 595, 842  # A4 in points
LEFT, RIGHT, TOP, BOTTOM = 72, 72, 770, 80
TEXT_WIDTH = PAGE_WIDTH - LEFT - RIGHT

# (font resource, size, line height, space before) per kind of block
STYLES = {
    "title": ("F2", 26, 34, 120),
    "subtitle": ("F1", 13, 20, 6),
    "h1": ("F2", 16, 22, 18),
    "h2": ("F2", 12, 17, 10),
    "p": ("F1", 10.5, 14, 6),
    "item": ("F1", 10.5, 14, 3),
    "pre": ("F3", 9.5, 12.5, 6),
}

MANUAL = [
    ("title", "VANTIX Pro"),
    ("subtitle", "User's Manual"),
    ("subtitle", "Version 2.10 for Windows 95, Windows 98 and Windows NT 4.0"),
    ("subtitle", "Harrowby"),
    ("p", ""),
    ("p", "This manual describes how to install VANTIX Pro, how to connect to FTP sites, how to "
          "use the site lists that come with the program, and how to copy files between your "
          "computer and a site. The help files installed with VANTIX Pro hold the same "
          "information, arranged for looking up one task at a time."),
    ("page", None),
    ("h1", "1  Installing VANTIX Pro"),
    ("p", "Run Setup and choose Install. Setup proposes the folder C:\\Program Files\\VANTIX Pro; "
          "choose Browse to pick another. Then choose what to install:"),
    ("item", "VANTIX Pro, the classic program with its own window."),
    ("item", "The Explorer interface, which shows your FTP sites in Windows Explorer under the "
             "VANTIX Pro Explorer icon. Setup asks whether the icon goes on the desktop or into "
             "My Computer."),
    ("item", "The Bonus Utility Pack: the Scripting, Find and Synchronize utilities."),
    ("p", "Setup copies the files, creates the program group VANTIX Pro with an icon for each "
          "program and help file, and records the program in Add/Remove Programs. When a file it "
          "must replace is in use, Setup asks you to restart Windows at the end."),
    ("h2", "Installing over an earlier version"),
    ("p", "Your settings and sites are kept in VANTIX.ini. When Setup finds an earlier VANTIX.ini "
          "it asks whether to add the new site lists. If you agree, your old file is renamed to "
          "original.ini and appears in the new version as the site list My Sites, with every "
          "site you had. Site-list files that are already in the folder are never replaced."),
    ("h1", "2  Connecting to a site"),
    ("p", "Choose Connect on the Session menu, or press F2, to open the site manager. Choose a "
          "site list on the left and a site on the right, then Connect. VANTIX Pro logs in, "
          "opens the site's starting folder and lists it in the right pane of the main window. "
          "The left pane shows a folder on your computer."),
    ("p", "Public sites accept the user name anonymous with an e-mail address as the password. "
          "VANTIX Pro sends the address set on the General page of Options for every site whose "
          "password is empty."),
    ("h2", "When a connection fails"),
    ("p", "If a site is busy, VANTIX Pro tries again three times, thirty seconds apart; both "
          "numbers can be changed on the Connection page of Options. If you can log in but no "
          "folder listing arrives, your network probably has a firewall: turn on Passive "
          "transfers on the same page."),
    ("page", None),
    ("h1", "3  Site lists"),
    ("p", "A site list is an INI file with one section per site. VANTIX.ini names the lists: "
          "each of its sections with a FILENAME entry is one list, shown under the section's "
          "name. A site is written like this:"),
    ("pre", "[Harrowby VANTIX Updates]\n"
            "HOST=ftp.harrowby.com\n"
            "DIR=/pub/vantix\n"
            "USER=anonymous\n"
            "PASS=\n"
            "DESC=Patches and updates for VANTIX Pro"),
    ("p", "HOST is the site's name or address and DIR the folder to open after logging in. An "
          "empty USER logs in anonymously; an empty PASS sends your e-mail address. DESC is "
          "shown in the site manager. The lists that come with VANTIX Pro are:"),
    ("item", "Anti-Virus Updates (avsites.ini): signature and engine updates of virus scanners."),
    ("item", "Archives and Mirrors (mirsites.ini): large shareware archives and their mirrors."),
    ("item", "Games (gmsites.ini): demos, patches and user-made levels."),
    ("item", "Hardware Drivers (hwsites.ini): drivers for video, sound, modems and printers."),
    ("item", "Harrowby Sites (vxsites.ini): VANTIX Pro updates, scripts and manuals."),
    ("item", "Online Services (olsites.ini): access software of online services."),
    ("item", "Software (swsites.ini): makers of programs and utilities."),
    ("item", "Government (gvsites.ini): public data, maps and documents."),
    ("p", "Add your own sites with New Site in the site manager; they go into My Sites unless "
          "you open another list first."),
    ("h1", "4  Copying files"),
    ("p", "Select files in either pane and choose the arrow button that points to the other "
          "pane, or drag them across. Folders are copied with everything in them. VANTIX Pro "
          "asks before it replaces a file; choose Resume to continue a download that was cut "
          "off, on sites that allow it."),
    ("p", "Programs, archives, pictures and sounds are copied as binary data. Files whose "
          "extensions appear under Text files on the Transfers page of Options are copied as "
          "text, with their line ends converted; the list starts as txt, htm, html, ini and bat."),
    ("page", None),
    ("h1", "5  The Bonus Utility Pack"),
    ("h2", "VANTIX Scripting Utility"),
    ("p", "Runs transfer scripts, plain text files of commands, without anyone at the keyboard. "
          "Start it with the script's name, or from a scheduling program at night:"),
    ("pre", "OPEN ftp.harrowby.com\n"
            "CD /pub/vantix\n"
            "BINARY\n"
            "MGET vxpatch*.zip\n"
            "CLOSE"),
    ("h2", "VANTIX Find Utility"),
    ("p", "Searches the sites of the lists you tick for files by name or pattern, such as "
          "*.zip or readme*, and shows every match with its site, folder, size and date. "
          "Double-click a match to download it."),
    ("h2", "VANTIX Synchronize Utility"),
    ("p", "Keeps a folder on your computer and a folder on a site the same, in both directions "
          "or in one. Files are compared by name, size and time; times that differ by no more "
          "than two seconds count as equal, because FAT disks keep times in two-second steps. "
          "Preview shows what would be copied before anything is."),
    ("h1", "6  Sounds, logs and options"),
    ("p", "VANTIX Pro plays vxconn.wav when it connects, vxfail.wav when something fails and "
          "vxdone.wav when a long copy ends. The session log in the lower pane shows every "
          "command and answer; turn on Keep a log file to save it as vantix.log."),
    ("h1", "7  Removing VANTIX Pro"),
    ("p", "Open Add/Remove Programs in the Control Panel and choose Harrowby VANTIX Pro, or run "
          "Setup again and choose Remove. Setup removes the programs, the program group, the "
          "Explorer icon and the registry entries, and asks before it deletes your INI files, "
          "so your sites can be kept for a later installation."),
]

# Approximate Helvetica widths in thousandths of the font size, rounded up.
NARROW = set(" .,;:'!|ilIjtfr()[]/-")
WIDE = set("mwMW@%")


def char_width(c, font):
    if font == "F3":
        return 600
    if c in NARROW:
        return 300
    if c in WIDE:
        return 900
    if c.isupper() or (c.isdigit() and font == "F2"):
        return 722
    return 560


def text_width(text, font, size):
    return sum(char_width(c, font) for c in text) * size / 1000.0


def wrap(text, font, size, width):
    lines, line = [], ""
    for word in text.split():
        candidate = word if not line else line + " " + word
        if line and text_width(candidate, font, size) > width:
            lines.append(line)
            line = word
        else:
            line = candidate
    lines.append(line)
    return lines


def pdf_string(text):
    return "(" + text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ")"


def layout(blocks):
    """Content streams, one per page."""
    pages, ops = [], []
    y = TOP

    def finish_page():
        nonlocal ops, y
        number = len(pages) + 1
        footer = "VANTIX Pro User's Manual - page %d" % number
        ops.append("BT /F1 8 Tf %d %d Td %s Tj ET" % (LEFT, 40, pdf_string(footer)))
        pages.append("\n".join(ops) + "\n")
        ops, y = [], TOP

    for kind, text in blocks:
        if kind == "page":
            finish_page()
            continue
        font, size, leading, before = STYLES[kind]
        indent = 14 if kind == "item" else 0
        if kind == "pre":
            lines = text.split("\n")
        else:
            lines = wrap(text, font, size, TEXT_WIDTH - indent)
        # Keep a heading with the first lines of what follows it.
        needed = before + leading * (len(lines) if kind != "h1" and kind != "h2" else 4)
        if y - needed < BOTTOM and y != TOP:
            finish_page()
        y -= before if y != TOP or kind == "title" else 0
        for i, line in enumerate(lines):
            y -= leading
            if kind == "item" and i == 0:
                ops.append("BT /F1 %g Tf %d %g Td (-) Tj ET" % (size, LEFT + 2, y))
            ops.append("BT /%s %g Tf %d %g Td %s Tj ET" % (font, size, LEFT + indent, y, pdf_string(line)))
    if ops:
        finish_page()
    return pages


def build_pdf(pages):
    objects = {}
    font_ids = {"F1": 3, "F2": 4, "F3": 5}
    objects[1] = "<< /Type /Catalog /Pages 2 0 R >>"
    objects[3] = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"
    objects[4] = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>"
    objects[5] = "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>"
    objects[6] = ("<< /Title (VANTIX Pro User's Manual) /Author (Harrowby) "
                  "/Subject (VANTIX Pro 2.10) /Creator (make_manual.py) >>")
    fonts = " ".join("/%s %d 0 R" % (name, oid) for name, oid in sorted(font_ids.items()))
    kids = []
    next_id = 7
    for content in pages:
        page_id, content_id = next_id, next_id + 1
        next_id += 2
        kids.append("%d 0 R" % page_id)
        objects[page_id] = ("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %d %d] "
                            "/Resources << /Font << %s >> >> /Contents %d 0 R >>"
                            % (PAGE_WIDTH, PAGE_HEIGHT, fonts, content_id))
        data = content.encode("cp1252")
        objects[content_id] = (b"<< /Length %d >>\nstream\n" % len(data)) + data + b"endstream"
    objects[2] = "<< /Type /Pages /Kids [%s] /Count %d >>" % (" ".join(kids), len(kids))

    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for oid in sorted(objects):
        body = objects[oid]
        if isinstance(body, str):
            body = body.encode("cp1252")
        offsets[oid] = len(out)
        out += b"%d 0 obj\n" % oid + body + b"\nendobj\n"
    xref = len(out)
    count = max(objects) + 1
    out += b"xref\n0 %d\n" % count
    out += b"0000000000 65535 f \n"
    for oid in range(1, count):
        out += b"%010d 00000 n \n" % offsets[oid]
    out += b"trailer\n<< /Size %d /Root 1 0 R /Info 6 0 R >>\n" % count
    out += b"startxref\n%d\n%%%%EOF\n" % xref
    return bytes(out)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "vxcore32.pdf")
    pages = layout(MANUAL)
    with open(path, "wb") as f:
        f.write(build_pdf(pages))
    print("%s: %d pages" % (path, len(pages)))


if __name__ == "__main__":
    main()
