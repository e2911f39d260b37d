#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into the folders next to this script."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
STX2 = b"\x02\x02"
ETX2 = b"\x03\x03"
FS = b"\x1f"
RS = b"\x1e\x1f\x1e"
NO_ADDRESS = b"000000000000"

CONTROLS = b"""<controllist>
<c><type>button</type><name>Take</name><left>100</left><top>&amp;H20</top><width>1e3</width>
<height>-2.5</height><backcolor>red</backcolor><backcoloron>&amp;HFF00</backcoloron>
<backcoloroff></backcoloroff><buttonstate>1.5</buttonstate><forecolor>16777215</forecolor>
<pictureupoff>a.bmp</pictureupoff><pictureupon>b.bmp</pictureupon>
<picturedownoff>c\\d.bmp</picturedownoff><picturedownon>/abs/e.png</picturedownon>
<flashpicture>f.bmp</flashpicture><flash> On </flash><caption>Mic\\non</caption>
<click>Go</click><mousedown>Down</mousedown><mouseup>Up</mouseup><enabled>0</enabled>
<fontname> Arial </fontname><fontsize>99999999999</fontsize><fontbold>false</fontbold>
<fontunderline>x</fontunderline><fontitalic>FALSE</fontitalic></c>
<c><type>label</type><name>Title</name><caption>Studio &amp; 1</caption><state>on</state></c>
<c><type>textbox</type><name>Notes</name><change>Changed</change></c>
<c><type>dropdown</type><name>Pick</name><list>a|b|c</list><listindex>2</listindex></c>
<c><type>webbrowser</type><name>Web</name><weburl>http://127.0.0.1/</weburl></c>
<c><type>meter</type><name>M1</name><meterrouternumber>2</meterrouternumber>
<meterionumber>&amp;H0F</meterionumber><meterissource>False</meterissource>
<meterscale>British</meterscale><meterstyle>gradient</meterstyle>
<levellinecolor>amber</levellinecolor><decayrate>12</decayrate><centerpad>-3</centerpad></c>
<c><type>meterfader</type><name>F1</name><meterrouternumber>2</meterrouternumber>
<meterionumber>15</meterionumber><fadernominal>-10</fadernominal>
<hidegainvalue>true</hidegainvalue><meterscale>linear</meterscale></c>
<c><type>tsclock</type><name>Clock</name><x a="1">y</x></c>
<c><type>codeccontrol</type><name>Codec</name><!-- c --><?p i?></c>
<c><type>meter</type><name>m1</name><meterrouternumber>2</meterrouternumber>
<meterionumber>15</meterionumber></c>
text between controls
</controllist>"""

PANEL = (b"<?xml version=\"1.0\"?>\n<panel><Name>Studio1</Name><WIDTH>9000</WIDTH>"
         b"<height>6000</height><backcolor>Grey</backcolor><ForeColor>&amp;HFF</ForeColor>"
         b"<caption>A &amp; B</caption><buttonstate> on </buttonstate><picture>back.bmp</picture>"
         b"<onload>Panel.Loaded</onload><enabled>false</enabled><backcoloron>red</backcoloron>"
         b"<backcoloroff>1e3</backcoloroff><defaultpicturepath>pics\\a</defaultpicturepath>"
         + CONTROLS + b"</panel>")


def frame(command, payload=b"", address=NO_ADDRESS):
    return STX2 + bytes([command]) + address + payload + ETX2


FRAMES = [
    frame(1, b"no"), frame(1, b" Server moved "), frame(13, b"Hello operator"),
    frame(19, b"caps", b"0003000A0000"), frame(20, b"addons", b"00020000000f"),
    frame(22, b"1" + FS + b"-12.5" + RS + b"2" + FS + b"-3"), frame(35, b"Studio1.Take.Caption=On"),
    frame(40, b"Yes"), frame(40, b"no"), frame(40, b"Refused"),
    frame(43, b"Studio 1" + FS + b"<panel><name>P</name></panel>" + FS + b"extra"),
    frame(46, b"10.0.0.7/3", b"0003000A0000"), frame(46, b"x", b"00020-010007"),
    frame(99, b"unknown"),
]


def write(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def main():
    # fuzz_receive: flags byte, two bytes choosing the cuts, then the stream.
    write("fuzz_receive", "all_commands", b"\xf0\x12\x34" + b"".join(FRAMES))
    write("fuzz_receive", "all_commands_throwing", b"\x31\x56\x78" + b"".join(FRAMES))
    write("fuzz_receive", "byte_by_byte_small_tail", b"\x0c\x00\x01" + b"".join(FRAMES[:4]))
    write("fuzz_receive", "etx_runs", b"\x20\x00\x07a\x03\x03\x03b\x03\x03\x03\x03\x02\x02\x03")
    write("fuzz_receive", "panel_in_pieces",
          b"\x70\x9a\xbc" + frame(43, b"T" + FS + PANEL) + "caf\u00e9 \u20ac".encode())
    write("fuzz_receive", "latin1_tail", b"\x3a\x00\x02" + frame(13, b"\xe9\xff") + b"\x02\x02+0")

    write("fuzz_panel_definition", "every_control", PANEL)
    write("fuzz_panel_definition", "one_control", CONTROLS.split(b"\n<c>")[1].join([b"<c>", b""]))
    write("fuzz_panel_definition", "conversion_error",
          b"<p><name>P</name><controllist><c><name>A</name></c><c><name>B</name>"
          b"<meterionumber>1e10</meterionumber></c></controllist></p>")
    write("fuzz_panel_definition", "doctype", b"<!DOCTYPE p SYSTEM \"x\"><p><name>N</name></p>")
    # At and just beyond the bounds on nesting and attributes, and what the scanner skips.
    for depth in (255, 257):
        write("fuzz_panel_definition", "nesting_%d" % depth,
              b"<p><controllist>" + b"<c>" * (depth - 2) + b"</c>" * (depth - 2)
              + b"</controllist></p>")
    for count in (256, 257):
        write("fuzz_panel_definition", "attributes_%d" % count,
              b"<p " + b" ".join(b"a%d='='" % i for i in range(count)) + b"><name>N</name></p>")
    write("fuzz_panel_definition", "internal_subset",
          b"<!DOCTYPE p [<!ENTITY e \"xx\">]><p><name>&e;</name></p>")
    write("fuzz_panel_definition", "skipped_markup",
          b"<?xml version='1.0'?><!-- <c> --><p><caption><![CDATA[<c>]]></caption>"
          b"<name a='>' b=\"/\">N</name><controllist><c/><c><name>X</name></c></controllist></p>")

    levels = (b"MTR DST 5 12 x PEEK:-20:-18 RMS:-30:-29\r\nMTR SRC 007 3 x PEEK:10:11\r\n"
              b"MTR SRC 2.5 &H10 x RMS:1:2\r\nmtr SRC 7 3 x\r\nMTR SRC 40000 1 x PEEK:0:0\r\n"
              b"MTR  DST 1 1 x PEEK:1:2:3\r\n\r\nMTR SRC 1 1 x PEEK:-1e1:+2")
    write("fuzz_level_lines", "level_lines", b"\x07" + levels)
    write("fuzz_level_lines", "byte_by_byte", b"\x00" + levels)
    write("fuzz_level_lines", "long_unfinished", b"\x3f" + b"x" * 10005 + b"\r\r\nMTR SRC 1 1 a PEEK:1:1\r\n")

    numbers = {
        "hex": b"&HFF", "hex_negative": b"&H8000000F", "hex_long": b"&h123456789",
        "exponent": b"1e3", "negative_fraction": b"-2.5", "blanks": b" \t 42 apples",
        "point_only": b"1.", "fraction_only": b"-.5E-2", "huge": b"1e400", "half_even": b"2.5",
        "colour_word": b"LightGrey", "false": b" False ", "int16_edge": b"32767.5",
        "many_digits": b"0.1000000000000000055511151231257827021181583404541015625",
    }
    for name, text in numbers.items():
        write("fuzz_numbers", name, text)


if __name__ == "__main__":
    main()
