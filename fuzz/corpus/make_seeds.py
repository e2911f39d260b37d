#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into the folders next to this script."""
import os
import struct

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


def action(which_action, which_control, text=b""):
    """An operator action in fuzz_panel_dispatch: 0x01, the action, the control, any text."""
    return b"\x01" + bytes([which_action, which_control]) + text


def point(router, io, is_source):
    return b"%04X%04X%04X" % (router, io if is_source else 0, 0 if is_source else io)


# The fixed panel of fuzz_panel_dispatch is named Studio; its meter is on router 2, I/O 15
# (destination), its strips on 2/16 (source) and 2/15.
DISPATCH = [
    frame(35, b"Studio.Take.Caption=Mic on"), frame(35, b"Studio.Take.State=on"),
    frame(35, b"Studio.Take.BackColorOn=&H00FF00"), frame(35, b"Studio.Take.Flash=True"),
    frame(35, b"Studio.Take.PictureUpOn=b.png"), frame(35, b"Studio.Plain.Enabled=False"),
    frame(35, b"Studio.Title.Caption=On air=now"), frame(35, b"Studio.Title.Left=2000"),
    frame(35, b"Studio.Notes.Caption=text"), frame(35, b"Studio.Pick.List=x|y|z|"),
    frame(35, b"Studio.Pick.ListIndex=2"), frame(35, b"Studio.$Button(2).Caption=Two"),
    frame(35, b"Studio.Title.Name=Heading"), frame(35, b"Studio.Heading.Width=1e3"),
    frame(35, b"Studio.Studio.BackColor=grey"), frame(35, b"Studio.Fader.Height=&H100"),
    frame(19, b"GainMin=-900,GainMax=100,HasOnOff=True,PGM1=true", point(2, 16, True)),
    frame(20, b"TFTF", point(2, 16, True)),
    frame(22, b"2" + FS + b"16" + FS + b"False" + FS + b"FF00:0010:0800:0008:-12.5" + RS
          + b"2" + FS + b"15" + FS + b"True" + FS + b"8000:7FFF"),
    frame(46, b"10.0.0.7/3", point(2, 16, True)), frame(13, b"Hello operator"),
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

    # fuzz_panel_dispatch: two bytes choosing the cuts, then frames and operator actions.
    ops = (action(0, 1) + action(1, 1) + action(2, 0) + action(3, 0) + action(4, 1)
           + action(5, 2) + action(6, 0) + action(7, 0, b"Go $$Take.Caption$$ $$PanelName$$"))
    write("fuzz_panel_dispatch", "changes", b"\x40\x01" + b"".join(DISPATCH))
    write("fuzz_panel_dispatch", "changes_and_actions",
          b"\xf3\x07" + b"".join(d + o for d, o in zip(DISPATCH, [ops] * len(DISPATCH))))
    write("fuzz_panel_dispatch", "actions", b"\x00\x00" + ops)
    write("fuzz_panel_dispatch", "placeholders",
          b"\x10\x00" + action(7, 0, b"$$Take.Left$$ $$Pick.List$$ $$$ $$Notes.Caption$$$")
          + action(7, 0, b"$$Fader.Top$$ $$Nothing.Caption$$ $$Take$$ $$PanelName$$"))
    write("fuzz_panel_dispatch", "new_definition",
          b"\x80\x02" + frame(43, b"Studio" + FS + b"<panel><name>Studio</name><controllist>"
                               b"<c><type>button</type><name>Extra</name></c></controllist>"
                               b"</panel>") + frame(35, b"Studio.Extra.Caption=x"))

    # fuzz_meter_levels: arrival size, paint rate, then lines for the panel's points.
    meter_lines = (b"MTR DST 1 1 dev1/1 PEEK:-20:-18 RMS:-30:-29\r\n"
                   b"MTR SRC 2 11 dev2/11 PEEK:100:-100 RMS:5:6\r\n"
                   b"MTR DST 3 5 x PEEK:-32768:32767\r\nMTR SRC 32767 32767 x PEEK:0:0\r\n"
                   b"MTR DST 1 1 x RMS:1:2\r\nMTR DST 9 9 x PEEK:1:1\r\n")
    write("fuzz_meter_levels", "every_point", b"\x07\x01" + meter_lines)
    write("fuzz_meter_levels", "byte_by_byte", b"\x00\x07" + meter_lines)
    write("fuzz_meter_levels", "repeated", b"\x3f\x03" + meter_lines * 20)

    # fuzz_config_file: the file's bytes.
    write("fuzz_config_file", "typical",
          b"PrimaryServerIP=10.0.0.5\r\nPrimaryServerPort=5200\r\nBackupServerIP=10.0.0.6\r\n"
          b"BackupServerPort=5300\r\nPanelName=Studio 1\r\nUserName=op\r\n"
          b"UserPassword=a=b\r\nAlwaysOnTop=True\r\nMeterServerPort=9502\r\n")
    write("fuzz_config_file", "lists_and_v6",
          b"primaryserverip = host1,[::1]:7000,fe80::1\nprimaryserverport=5200,6000\n"
          b"backupserverip=h:1,h2\nbackupserverport= 70000 \nmeterserverport=0\n")
    write("fuzz_config_file", "latin1", b"PanelName=Caf\xe9\r\nPrimaryServerPort=-1\r\n")
    write("fuzz_config_file", "odd_lines",
          b"=\r\nkey\r\n\r\nprimaryserverport=&H1450\rprimaryserverip=x\n")
    write("fuzz_config_file", "desk",
          b"FullScreen=TRUE\r\nPanelScale=fit\r\npanelscale=1.5e0\r\npanelscale=4.0001\r\n"
          b"panelscale=nan\r\nfullscreen=1\r\n")

    # fuzz_position_file: left and top as float bit patterns, then lines added to the file.
    write("fuzz_position_file", "typical", struct.pack("<ff", 1500.0, 2.5) + b"")
    write("fuzz_position_file", "edited",
          struct.pack("<ff", -300.5, 1e9) + b"Left=12\r\nTop=-7.5\r\nwidth=3\n")
    write("fuzz_position_file", "out_of_range", struct.pack("<ff", 3e9, float("inf")))
    write("fuzz_position_file", "bad_number", struct.pack("<ff", 1.0, 2.0) + b"top=x\nLeft=5")

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
