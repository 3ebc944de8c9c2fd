#include "ui/main/form_data.h"

namespace velquin::ui {

namespace {

constexpr char kForm1Data[] = R"(' Form1: the scan console.
[Form1]
caption = "Orvanta Velquin W32.Spy-Qarnix"
clientwidth = 7800
clientheight = 6435
font = Font("MS Sans Serif", 8.25, 400, False, False, False, 0, 0)

[Frame4]
left = 0
top = 0
width = 8295
height = 6615

[Image2]
left = 0
top = 0
width = 8265
height = 1140

[Image3]
left = 120
top = 70
width = 1200
height = 1275

[Label3]
caption = "Orvanta Velquin"
left = 1440
top = 120
width = 5775
height = 495
forecolor = &H00FFFFFF&
backstyle = 0
font = Font("MS Sans Serif", 18, 700, False, False, False, 0, 0)

[Label4]
caption = "Special Cleaner for W32.Spy-Qarnix"
left = 1440
top = 600
width = 6495
height = 375
forecolor = &H00FFFFFF&
backstyle = 0
font = Font("MS Sans Serif", 12, 400, False, False, False, 0, 0)

[Label21]
alignment = 2
caption = "[-]"
left = 240
top = 720
width = 255
height = 255
forecolor = &H00402000&
backstyle = 0
font = Font("MS Sans Serif", 8.25, 700, False, False, False, 0, 0)

[Text1]
text = "C:\\"
left = 240
top = 1440
width = 5895
height = 285
locked = True

[Browser]
caption = "Browse..."
buttonstyle = 2
backcolor = &H00E7EBEC&
left = 6240
top = 1440
width = 1335
height = 300

[P2]
left = 240
top = 1680
width = 7335
height = 255
scrolling = 2
orientation = 0
max = 100
color = &H0000FF00&
brushstyle = 0
font = Font("MS Sans Serif", 8.25, 400, False, False, False, 0, 0)

[List3]
left = 240
top = 1800
width = 7335
height = 3570
backcolor = &H00FFFFFF&
forecolor = &H00000000&

[Scan]
caption = "Start Scan"
buttonstyle = 2
backcolor = &H00E7EBEC&
left = 6000
top = 5520
width = 1575
height = 375
font = Font("MS Sans Serif", 8.25, 700, False, False, False, 0, 0)

[Picture1]
left = 0
top = 6000
width = 7815
height = 495
backcolor = &H8000000D&

[txtInfo]
text = "[Waiting From User....]"
left = 240
top = 120
width = 7695
height = 285
backcolor = &H8000000D&
forecolor = &H00FFFFFF&
locked = True
borderstyle = 0

[Labelwaktu]
caption = "Label10"
left = 5520
top = 1560
width = 2175
height = 255
visible = False

' Label8, Label11 and Label7 lie beyond the right edge of the client area: never seen, and kept
' hidden so that writing them after every entry costs no repaint.
[Label8]
caption = "0"
left = 7800
top = 1560
width = 1455
height = 255
visible = False

[Label11]
caption = "0"
left = 7800
top = 1320
width = 1575
height = 255
visible = False

[Label7]
caption = "0"
left = 7800
top = 1440
width = 1815
height = 255
visible = False

[List2]
left = 240
top = 1800
width = 3135
height = 2205
visible = False

[o]
left = 7800
top = 1080
width = 135
height = 615
scrolling = 1
orientation = 1
max = 10
color = &H00000000&
brushstyle = 0
font = Font("MS Sans Serif", 8.25, 400, False, False, False, 0, 0)

[Timer1]
interval = 200
enabled = False

[Timer3]
interval = 20
enabled = False

[Timer9]
interval = 1300
enabled = False

[mnu]
caption = "zzzz"
visible = False
)";

}  // namespace

std::string_view Form1DataText() { return kForm1Data; }

}  // namespace velquin::ui
