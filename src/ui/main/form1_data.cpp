#include "ui/main/form_data.h"

namespace velquin::ui {

namespace {

constexpr std::string_view kForm1Data = R"(; Form1: the scan console.
[Form1]
caption = "Orvanta Velquin W32.Spy-Qarnix"
clientwidth = 7800
clientheight = 6435
fontname = "DejaVu Sans"
fontsize = 8

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
picture = banner

[Image3]
left = 120
top = 70
width = 1200
height = 1275
picture = logo

[Label3]
caption = "Orvanta Velquin"
left = 1440
top = 120
width = 5775
height = 495
forecolor = 0xFFFFFF
backstyle = 0
fontsize = 18
fontbold = 1

[Label4]
caption = "Special Cleaner for W32.Spy-Qarnix"
left = 1440
top = 600
width = 6495
height = 375
forecolor = 0xFFFFFF
backstyle = 0
fontsize = 12

[Label21]
caption = "[-]"
left = 240
top = 720
width = 255
height = 255
forecolor = 0xFFFFFF
backstyle = 0
fontbold = 1

[Text1]
text = "C:\"
left = 240
top = 1440
width = 5895
height = 285
locked = 1

[Browser]
caption = "Browse..."
buttonstyle = 2
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
color = 0x00FF00
brushstyle = 0

[List3]
left = 240
top = 1800
width = 7335
height = 3570
backcolor = 0xFFFFFF
forecolor = 0x000000

[Scan]
caption = "Start Scan"
buttonstyle = 2
left = 6000
top = 5520
width = 1575
height = 375
fontbold = 1

[Picture1]
left = 0
top = 6000
width = 7815
height = 495
backcolor = 0x8000000D

[txtInfo]
text = "[Waiting From User....]"
left = 240
top = 120
width = 7695
height = 285
backcolor = 0x8000000D
forecolor = 0xFFFFFF
locked = 1
borderstyle = 0

[Labelwaktu]
caption = "Label10"
left = 5520
top = 1560
width = 2175
height = 255
visible = 0

[Label8]
caption = "0"
left = 7800
top = 1560
width = 1455
height = 255

[Label11]
caption = "0"
left = 7800
top = 1320
width = 1575
height = 255

[Label7]
caption = "0"
left = 7800
top = 1440
width = 1815
height = 255

[List2]
left = 240
top = 1800
width = 3135
height = 2205
visible = 0

[o]
left = 7800
top = 1080
width = 135
height = 615
scrolling = 1
orientation = 1
max = 10
color = 0x000000
brushstyle = 0

[Timer1]
interval = 200
enabled = 0

[Timer3]
interval = 20
enabled = 0

[Timer9]
interval = 1300
enabled = 0

[mnu]
caption = "zzzz"
visible = 0
)";

}  // namespace

std::string_view Form1DataText() { return kForm1Data; }

const FormData& Form1Data() {
    static const FormData data = FormData::Parse(kForm1Data);
    return data;
}

}  // namespace velquin::ui
