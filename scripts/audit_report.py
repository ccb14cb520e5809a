"""The calibration record as a report for signing: one standalone HTML page (no scripts, no
network, styled for print) with, per device, its identity, each write's fields as found and as
left, the Verify test points and a chart of their error against the reference, and the chain's
verdict. audit.py's "report" command writes it."""
import html
import json

WRITE_PROTECT = {0: "not write-protected", 1: "write-protected",
                 250: "no write protection implemented", 251: "no write protection implemented"}
COMMANDS = {222: "Set base data", 43: "PV zero", 182: "Range point"}
STYLE = """
body { font: 10pt sans-serif; margin: 1.5em; color: #000; }
h1 { font-size: 15pt; } h2 { font-size: 13pt; border-bottom: 1px solid #444; margin-top: 1.5em; }
h3 { font-size: 11pt; }
table { border-collapse: collapse; margin: 0.4em 0 1em; }
th, td { border: 1px solid #888; padding: 2px 6px; text-align: left; vertical-align: top; }
caption { text-align: left; font-weight: bold; padding: 2px 0; }
.pass { color: #060; font-weight: bold; } .fail, .broken { color: #b00; font-weight: bold; }
.sign td { border: none; padding: 1.2em 2em 0 0; }
@media print { body { margin: 0; } section { break-before: page; } table { break-inside: avoid; }
  a { color: #000; text-decoration: none; } }
"""


def esc(value):
    return html.escape(str(value))


def read_lines(path):
    """Every whole line of the record, in file order; torn lines are left out."""
    lines = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for text in f:
            try:
                line = json.loads(text)
            except ValueError:
                continue
            if isinstance(line, dict):
                lines.append(line)
    return lines


def device_key(line):
    return line.get("device.long_address") or f"device {line.get('dev', '?')}"


def collect(lines, address):
    """Per device: its latest identity line, its writes (intent, result, as-left) and its test
    points, in file order."""
    devices, writes = {}, {}
    for line in lines:
        kind, key = line.get("kind"), device_key(line)
        if kind == "result" and line.get("id") in writes:
            writes[line["id"]][kind] = line
            continue
        if address and key.upper() != address.upper():
            continue
        device = devices.setdefault(key, {"identity": line, "writes": [], "points": []})
        if "device.long_address" in line:
            device["identity"] = line
        if kind == "intent":
            writes[line.get("id")] = {"intent": line}
            device["writes"].append(writes[line.get("id")])
        elif kind == "as_left" and line.get("id") in writes:
            writes[line["id"]][kind] = line
        elif kind == "test_point":
            device["points"].append(line)
    return devices


def identity_table(line):
    rows = [("Tag", line.get("device.tag", "not read")),
            ("Long address", line.get("device.long_address", "?")),
            ("Manufacturer", line.get("device.manufacturer", "?")),
            ("Device type", line.get("device.type", "?")),
            ("Device id", line.get("device.id", "?")),
            ("HART revision", line.get("device.hart_revision", "?")),
            ("Write protection", WRITE_PROTECT.get(line.get("device.write_protect"), "not read"))]
    return "<table>" + "".join(f"<tr><th>{esc(k)}</th><td>{esc(v)}</td></tr>" for k, v in rows) \
        + "</table>"


def outcome_text(result):
    if result is None:
        return "unknown: no result recorded (the device may have carried the write out)"
    text = result.get("outcome", "?")
    if "meaning" in result and (text != "done" or result.get("rc", 0) != 0):
        text += f": {result['meaning']}"
        if "rc" in result:
            text += f" (response code {result['rc']})"
    if result.get("status_words"):
        text += f"; device status: {result['status_words']}"
    return text


def value_with_time(line, key):
    if line is None or key not in line:
        return "not read back" if line is None or key.startswith("left.") else "-"
    stamp = line.get(key + ".time")
    return esc(line[key]) + (f" <small>({esc(stamp)})</small>" if stamp else "")


def write_table(write):
    intent, result, left = write["intent"], write.get("result"), write.get("as_left")
    cmd = intent.get("cmd")
    fields = [k[len("found."):] for k in intent
              if k.startswith("found.") and not k.endswith(".time") and k != "found.read"]
    caption = (f"{esc(intent.get('time', '?'))} · {esc(COMMANDS.get(cmd, f'command {cmd}'))} · "
               f"{esc(intent.get('user', '?'))} on {esc(intent.get('workstation', '?'))}")
    rows = "".join(
        f"<tr><td>{esc(name)}</td><td>{esc(intent.get('request.' + name, intent.get('request.value', '-')))}</td>"
        f"<td>{value_with_time(intent, 'found.' + name)}</td>"
        f"<td>{value_with_time(left, 'left.' + name)}</td></tr>" for name in fields)
    note = f"<tr><td colspan=4>as found read {esc(intent['found.read'])}</td></tr>" \
        if "found.read" in intent else ""
    klass = "fail" if result is None or result.get("outcome") != "done" else "pass"
    return (f"<table><caption>{caption}</caption><tr><th>field</th><th>requested</th>"
            f"<th>as found</th><th>as left</th></tr>{rows}{note}<tr><td colspan=4 "
            f"class={klass}>{esc(outcome_text(result))}</td></tr></table>")


def verdict(flag):
    return '<span class="pass">pass</span>' if flag else '<span class="fail">fail</span>'


def points_table(points):
    head = ("<tr><th>time</th><th>reference pressure</th><th>reading</th><th>error</th>"
            "<th>error % span</th><th>tolerance % span</th><th>reference temperature</th>"
            "<th>reading</th><th>error</th><th>tolerance</th><th>range as typed</th>"
            "<th>verdict</th></tr>")
    rows = ""
    for p in points:
        if "reference.pressure" not in p:
            rows += (f"<tr><td>{esc(p.get('time'))}</td><td colspan=10>{esc(p.get('verdict'))}"
                     "</td><td class=fail>no verdict</td></tr>")
            continue
        cells = [p.get("time"), p.get("reference.pressure"), p.get("reading.pressure"),
                 p.get("error.pressure"), p.get("error.pressure_span_percent"),
                 p.get("tolerance.pressure_span_percent"), p.get("reference.temperature"),
                 p.get("reading.temperature"), p.get("error.temperature"),
                 p.get("tolerance.temperature")]
        rows += "<tr>" + "".join(f"<td>{esc(c)}</td>" for c in cells)
        rows += (f"<td>{esc(p.get('reference.range_low'))} to "
                 f"{esc(p.get('reference.range_high'))}: {verdict(p.get('pass.range'))}</td>"
                 f"<td>{verdict(p.get('verdict') == 'pass')}</td></tr>")
    return f"<table><caption>Verify test points</caption>{head}{rows}</table>"


def chart(points):
    """Error in % of span against the reference pressure, with the tolerance band."""
    data = [(p["reference.pressure"], p["error.pressure_span_percent"], p.get("verdict") == "pass")
            for p in points if isinstance(p.get("reference.pressure"), (int, float))
            and isinstance(p.get("error.pressure_span_percent"), (int, float))]
    if not data:
        return ""
    tolerance = max(p.get("tolerance.pressure_span_percent", 0) for p in points)
    width, height, pad = 360, 180, 30
    xs = [x for x, _, _ in data]
    x0, x1 = min(xs), max(xs)
    x0, x1 = (x0 - 1, x1 + 1) if x1 == x0 else (x0, x1)
    top = max([abs(e) for _, e, _ in data] + [tolerance]) * 1.2 or 1

    def px(x):
        return pad + (x - x0) / (x1 - x0) * (width - 2 * pad)

    def py(e):
        return height / 2 - e / top * (height / 2 - pad / 2)

    parts = [f'<line x1="{pad}" y1="{py(0):.1f}" x2="{width - pad}" y2="{py(0):.1f}" '
             'stroke="#000"/>']
    for band in (tolerance, -tolerance):
        parts.append(f'<line x1="{pad}" y1="{py(band):.1f}" x2="{width - pad}" '
                     f'y2="{py(band):.1f}" stroke="#b00" stroke-dasharray="4 3"/>')
    for x, e, ok in data:
        parts.append(f'<circle cx="{px(x):.1f}" cy="{py(e):.1f}" r="4" '
                     f'fill="{"#060" if ok else "#b00"}"><title>{esc(x)}: {esc(e)} %</title>'
                     '</circle>')
    parts.append(f'<text x="{pad}" y="{height - 4}">reference pressure {x0:g} to {x1:g}</text>'
                 f'<text x="2" y="12">error, % of span (band ±{esc(tolerance)})</text>')
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'role="img" aria-label="error against reference">{"".join(parts)}</svg>')


def report(path, address, chain):
    """The report's HTML text; chain is check_chain's (whole, found, count)."""
    whole, found, count = chain
    devices = collect(read_lines(path), address)
    body = [f"<h1>Calibration record</h1><p>Record {esc(path)}: {count} lines, chain "
            + ('<span class="pass">whole</span>' if whole else '<span class="broken">BROKEN</span>')
            + "</p>"]
    if found:
        body.append("<ul>" + "".join(f"<li>{esc(text)}</li>" for text in found) + "</ul>")
    if not devices:
        body.append("<p>No writes recorded" + (f" for {esc(address)}" if address else "") + ".</p>")
    for key, device in devices.items():
        body.append(f"<section><h2>{esc(device['identity'].get('device.tag', '?'))} "
                    f"({esc(key)})</h2>{identity_table(device['identity'])}<h3>Writes</h3>")
        body += [write_table(w) for w in device["writes"]] or ["<p>None.</p>"]
        body.append("<h3>Verify</h3>")
        if device["points"]:
            body += [points_table(device["points"]), chart(device["points"])]
        else:
            body.append("<p>None.</p>")
        body.append('<table class="sign"><tr><td>Calibrated by: ____________________</td>'
                    "<td>Checked by: ____________________</td><td>Date: ____________</td></tr>"
                    "</table></section>")
    return ("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
            f"<title>Calibration record</title><style>{STYLE}</style></head><body>\n"
            + "\n".join(body) + "\n</body></html>\n")
