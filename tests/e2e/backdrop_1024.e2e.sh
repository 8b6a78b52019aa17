#!/usr/bin/env bash
# 1024 by 768: SETUP.EXE on the sample media shows the backdrop (every band,
# the three pictures with the gradient through their key pixels) and the
# welcome page centred over it; Cancel shows the notice and ends. Then with
# OEM=1 the bottom picture is left out. Then the test host walks the welcome
# page and a page of its own: Back gives both a second showing.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/backdrop_checks.sh"
e2e_begin backdrop_1024 1024x768x24
W=1024
H=768
PAGE="Velor Scroll Mouse Setup"
NOTICE_CAPTION="Velor Scroll Mouse Setup Program"
NOTICE="Velor Scroll Mouse installation is not completed !"

e2e_copy_media
bd_unmanaged
for id in 305 306 307; do
    bd_dump $id "$E2E_DIR/bitmap$id.bmp" || e2e_die "cannot read bitmap $id from the program"
done

# --- the full setup, OEM 0 ---
e2e_start_setup
e2e_assert "the welcome page comes up" e2e_wait_window "class:SETUP_BEGIN" 60
e2e_assert "it is titled \"$PAGE\"" e2e_exists "$PAGE"
sleep 1
shot=$(e2e_screenshot welcome_oem0)

bd_expect_rgb "$shot" 600 0 0,0,255 "client row 0 is RGB(0,0,255)"
bd_expect_rgb "$shot" 600 2 0,0,255 "client row 2 is RGB(0,0,255)"
bd_expect_rgb "$shot" 600 3 0,0,254 "client row 3 starts the second band"
bd_expect_rgb "$shot" 600 763 0,0,2 "client row 763 ends the band before the last"
bd_expect_rgb "$shot" 600 764 0,0,1 "client row 764 starts the last band, RGB(0,0,1)"
bd_expect_rgb "$shot" 600 765 0,0,1 "client row 765, the last one inside the frame, RGB(0,0,1)"
bd_expect_gradient "$shot" 1010 $H
bd_expect_gradient "$shot" 5 $H

bd_expect_picture "picture 306 at columns 20-419, rows 10-59" "$shot" "$E2E_DIR/bitmap306.bmp" \
    20 10 400 50 600
bd_expect_picture "picture 305 at columns $((W - 170))-$((W - 27)), rows 10-52" "$shot" \
    "$E2E_DIR/bitmap305.bmp" $((W - 170)) 10 144 43 600
bd_expect_picture "picture 307 at columns 20-509, rows $((H - 60))-$((H - 18))" "$shot" \
    "$E2E_DIR/bitmap307.bmp" 20 $((H - 60)) 490 43 800

bd_expect_centred "$PAGE" $W $H
e2e_assert_eq " This program will install Velor Scroll Mouse into your computer." \
    "$(e2e_text "$PAGE" 1024)" "the product name in text 1024"
e2e_assert_eq 0 "$(e2e_drv is-enabled "$PAGE" 3)" "the welcome page's Back button is disabled"

e2e_click "$PAGE" 2
e2e_assert "Cancel brings the notice captioned \"$NOTICE_CAPTION\"" \
    e2e_wait_window "$NOTICE_CAPTION" 20
e2e_screenshot cancel_notice >/dev/null
e2e_assert_eq "$NOTICE" "$(e2e_msgbox_text "$NOTICE_CAPTION")" "the cancel notice"
e2e_click "$NOTICE_CAPTION" 1
e2e_assert "the program ends after the notice" e2e_wait_exit 30
e2e_assert_eq 0 "$SETUP_EXIT" "exit status"

# --- OEM 1: no bottom picture ---
sed -i 's/^OEM=.*/OEM=1/' "$E2E_MEDIA/SETUP.INF"
e2e_assert "the script now says OEM=1" grep -q '^OEM=1' "$E2E_MEDIA/SETUP.INF"
e2e_start_setup
e2e_assert "the welcome page comes up with OEM=1" e2e_wait_window "class:SETUP_BEGIN" 60
sleep 1
shot=$(e2e_screenshot welcome_oem1)
bd_expect_picture "OEM=1: picture 306 still there" "$shot" "$E2E_DIR/bitmap306.bmp" 20 10 400 50 600
bd_expect_picture "OEM=1: picture 305 still there" "$shot" "$E2E_DIR/bitmap305.bmp" \
    $((W - 170)) 10 144 43 600
bd_expect_picture "OEM=1: no picture 307" "$shot" none 20 $((H - 60)) 490 43 800
e2e_click "$PAGE" 2
e2e_wait_window "$NOTICE_CAPTION" 20 >/dev/null
e2e_click "$NOTICE_CAPTION" 1
e2e_assert "the OEM=1 run ends" e2e_wait_exit 30

# --- Back and a second showing, through the test host ---
cp "$SETUP_BUILD_DIR/bin/backdrop_host.exe" "$E2E_DRIVE_C/backdrop_host.exe"
rm -f "$E2E_DRIVE_C/host.log"
e2e_start_program 'C:\backdrop_host.exe' 1 'C:\host.log'
SETUP_PID=$E2E_LAST_PID
e2e_assert "host: the welcome page comes up" e2e_wait_window "class:SETUP_BEGIN" 60
e2e_click "class:SETUP_BEGIN" 1
e2e_assert "host: Next shows the second page" e2e_wait_window "class:SETUP_SELMOUSE" 20
e2e_assert_eq 1 "$(e2e_window_titles | grep -cxF "$PAGE")" "host: one page at a time, titled \"$PAGE\""
e2e_screenshot host_second_page >/dev/null
e2e_click "class:SETUP_SELMOUSE" 3
e2e_assert "host: Back shows the welcome page again" e2e_wait_window "class:SETUP_BEGIN" 20
sleep 1
shot=$(e2e_screenshot host_welcome_again)
e2e_assert "host: the second showing is titled \"$PAGE\"" e2e_exists "$PAGE"
bd_expect_centred "$PAGE" $W $H
e2e_assert_eq " This program will install Velor Scroll Mouse into your computer." \
    "$(e2e_text "class:SETUP_BEGIN" 1024)" "host: text 1024 filled in again"
bd_expect_picture "host: picture 306 repainted plainly" "$shot" "$E2E_DIR/bitmap306.bmp" \
    20 10 400 50 600
e2e_click "class:SETUP_BEGIN" 1
e2e_assert "host: Next shows the second page again" e2e_wait_window "class:SETUP_SELMOUSE" 20
e2e_click "class:SETUP_SELMOUSE" 2
e2e_assert "host: Cancel brings the notice" e2e_wait_window "$NOTICE_CAPTION" 20
e2e_assert_eq "$NOTICE" "$(e2e_msgbox_text "$NOTICE_CAPTION")" "host: the cancel notice"
e2e_click "$NOTICE_CAPTION" 1
e2e_assert "host: ends after the notice" e2e_wait_exit 30
e2e_assert_eq "SETUP_BEGIN showing 1 result 1
SETUP_SELMOUSE showing 1 result 2
SETUP_BEGIN showing 2 result 1
SETUP_SELMOUSE showing 2 result 0" "$(tr -d '\r' <"$E2E_DRIVE_C/host.log")" "host: the page walk"
e2e_finish
