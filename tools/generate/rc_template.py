#!/usr/bin/env python3
"""Turns the DIALOG resources of a resource script into a C++ table.

The Linux build has no resource compiler, so the dialog is read from the same
.rc file the Windows build compiles: one source of truth for its layout. The
SDK's names it uses take their values from the header that declares them for
builds without the SDK.
Usage: rc_template.py <script.rc> <win32_decls.h> <output.cpp>
"""
import os
import re
import sys

# What the resource compiler adds to every CONTROL statement's style.
CONTROL_DEFAULT_STYLE = "WS_CHILD | WS_VISIBLE"

DEFINE = re.compile(r"^\s*#\s*define\s+(\w+)\s+(.+?)\s*$")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def fail(message):
    sys.exit("rc_template.py: " + message)


def strip_comment(line):
    # Comments never sit inside the quoted texts of a dialog script.
    in_text = False
    for i, c in enumerate(line):
        if c == '"':
            in_text = not in_text
        elif not in_text and line.startswith("//", i):
            return line[:i]
    return line


def read_defines(path, defines):
    with open(path, encoding="utf-8") as script:
        for line in script:
            match = DEFINE.match(strip_comment(line))
            if match:
                defines[match.group(1)] = match.group(2)
            include = INCLUDE.match(line)
            if include:
                included = os.path.join(os.path.dirname(path), include.group(1))
                if os.path.exists(included):
                    read_defines(included, defines)


def evaluate(expression, defines, depth=0):
    if depth > 20:
        fail("macro nesting too deep in " + expression)

    def replace(match):
        name = match.group(0)
        if name in defines:
            return "(%d)" % evaluate(defines[name], defines, depth + 1)
        fail("unknown name " + name)

    # Hexadecimal literals start with a digit, so only names are replaced.
    text = re.sub(r"\b[A-Za-z_]\w*\b", replace, expression)
    if not re.fullmatch(r"[0-9xXa-fA-F\s|&~()+-]*", text):
        fail("cannot evaluate " + expression)
    return eval(text, {"__builtins__": {}}) & 0xFFFFFFFF


def split_arguments(text):
    arguments, current, in_text = [], "", False
    for c in text:
        if c == '"':
            in_text = not in_text
        if c == "," and not in_text:
            arguments.append(current.strip())
            current = ""
        else:
            current += c
    arguments.append(current.strip())
    return arguments


def text_value(argument, defines):
    if argument.startswith('"'):
        return argument[1:-1].replace('""', '"')
    if argument in defines:
        return text_value(defines[argument].strip(), defines)
    fail("expected a text, got " + argument)


def signed(value):
    value &= 0xFFFFFFFF
    return value - 0x100000000 if value & 0x80000000 else value


def parse_dialogs(path, defines):
    with open(path, encoding="utf-8") as script:
        lines = [strip_comment(line).strip() for line in script]
    dialogs, i = [], 0
    while i < len(lines):
        head = re.match(r"^(\w+)\s+DIALOG(?:EX)?\s+(.+)$", lines[i])
        i += 1
        if not head:
            continue
        x, y, w, h = (evaluate(v, defines) for v in split_arguments(head.group(2))[:4])
        dialog = {"id": evaluate(head.group(1), defines), "rect": (x, y, w, h),
                  "caption": "", "font": ("", 8), "style": 0, "controls": []}
        while i < len(lines) and lines[i] not in ("BEGIN", "{"):
            option = re.match(r"^(\w+)\s+(.*)$", lines[i])
            if option and option.group(1) == "STYLE":
                dialog["style"] = evaluate(option.group(2), defines)
            elif option and option.group(1) == "CAPTION":
                dialog["caption"] = text_value(option.group(2), defines)
            elif option and option.group(1) == "FONT":
                size, face = split_arguments(option.group(2))[:2]
                dialog["font"] = (evaluate(size, defines), text_value(face, defines))
            elif lines[i]:
                fail("unsupported dialog option: " + lines[i])
            i += 1
        i += 1
        while i < len(lines) and lines[i] not in ("END", "}"):
            if lines[i]:
                dialog["controls"].append(parse_control(lines[i], defines))
            i += 1
        dialogs.append(dialog)
    return dialogs


def parse_control(line, defines):
    match = re.match(r"^CONTROL\s+(.*)$", line)
    if not match:
        fail("only CONTROL statements are supported, got: " + line)
    arguments = split_arguments(match.group(1))
    if len(arguments) < 8:
        fail("CONTROL needs text, id, class, style, x, y, w, h: " + line)
    numbers = [evaluate(a, defines) for a in arguments[4:8]]
    return {"text": text_value(arguments[0], defines), "id": signed(evaluate(arguments[1], defines)),
            "class": text_value(arguments[2], defines),
            "style": evaluate(CONTROL_DEFAULT_STYLE + " | " + arguments[3], defines),
            "rect": numbers}


def cpp_text(text):
    # Octal escapes never run into the next character, and the bytes stay UTF-8
    # whatever execution character set the compiler is told to use.
    out = ""
    for byte in text.encode("utf-8"):
        out += chr(byte) if 32 <= byte < 127 and chr(byte) not in '"\\?' else "\\%03o" % byte
    return '"' + out + '"'


def write_table(dialogs, output):
    lines = ["// Generated by tools/generate/rc_template.py from the resource script; do not edit.",
             '#include "resources/dialog_template.h"', "", "namespace {", ""]
    for n, dialog in enumerate(dialogs):
        lines.append("const ControlTemplate CONTROLS_%d[] = {" % n)
        for c in dialog["controls"]:
            lines.append("    {%d, %s, %s, 0x%08Xu, {%d, %d, %d, %d}}," % (
                c["id"], cpp_text(c["class"]), cpp_text(c["text"]), c["style"], *c["rect"]))
        lines += ["};", ""]
    lines += ["}  // namespace", "", "const DialogTemplate DIALOG_TEMPLATES[] = {"]
    for n, dialog in enumerate(dialogs):
        lines.append("    {%d, %s, %s, %d, 0x%08Xu, {%d, %d, %d, %d}, CONTROLS_%d, %d}," % (
            dialog["id"], cpp_text(dialog["caption"]), cpp_text(dialog["font"][1]),
            dialog["font"][0], dialog["style"], *dialog["rect"], n, len(dialog["controls"])))
    lines += ["};", "", "const int DIALOG_TEMPLATE_COUNT = %d;" % len(dialogs), ""]
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n".join(lines))


def main():
    if len(sys.argv) != 4:
        fail("usage: rc_template.py <script.rc> <win32_decls.h> <output.cpp>")
    defines = {}
    read_defines(sys.argv[2], defines)
    read_defines(sys.argv[1], defines)
    dialogs = parse_dialogs(sys.argv[1], defines)
    if not dialogs:
        fail("no DIALOG in " + sys.argv[1])
    write_table(dialogs, sys.argv[3])


if __name__ == "__main__":
    main()
