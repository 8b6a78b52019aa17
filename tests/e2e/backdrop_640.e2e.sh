#!/usr/bin/env bash
# 640 by 480: SETUP.EXE on the sample media. Bands of one or two rows, the
# last ending at row 479, picture 305 at columns 470-613, the bottom picture
# at rows 420-462, the welcome page centred; Cancel ends it.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/backdrop_checks.sh"
e2e_begin backdrop_640 640x480x24
W=640
H=480
PAGE="Velor Scroll Mouse Setup"
NOTICE_CAPTION="Velor Scroll Mouse Setup Program"

e2e_copy_media
bd_unmanaged
for id in 305 306 307; do
    bd_dump $id "$E2E_DIR/bitmap$id.bmp" || e2e_die "cannot read bitmap $id from the program"
done

e2e_start_setup
e2e_assert "the welcome page comes up" e2e_wait_window "class:SETUP_BEGIN" 60
e2e_assert "it is titled \"$PAGE\"" e2e_exists "$PAGE"
sleep 1
shot=$(e2e_screenshot welcome_640)

# Edges 0, 1, 3, 5, 7: the first band is one row, the next ones two.
bd_expect_rgb "$shot" 440 0 0,0,255 "client row 0 is RGB(0,0,255)"
bd_expect_rgb "$shot" 440 1 0,0,254 "client rows 1-2 are the second band"
bd_expect_rgb "$shot" 440 2 0,0,254 "client row 2 is still the second band"
bd_expect_rgb "$shot" 440 3 0,0,253 "client row 3 starts the third band"
bd_expect_gradient "$shot" 630 $H
bd_expect_gradient "$shot" 5 $H

bd_expect_picture "picture 306 at columns 20-419, rows 10-59" "$shot" "$E2E_DIR/bitmap306.bmp" \
    20 10 400 50 440
bd_expect_picture "picture 305 at columns $((W - 170))-$((W - 27)), rows 10-52" "$shot" \
    "$E2E_DIR/bitmap305.bmp" $((W - 170)) 10 144 43 440
bd_expect_picture "picture 307 at columns 20-509, rows $((H - 60))-$((H - 18))" "$shot" \
    "$E2E_DIR/bitmap307.bmp" 20 $((H - 60)) 490 43 560
bd_expect_centred "$PAGE" $W $H

e2e_click "$PAGE" 2
e2e_assert "Cancel brings the notice" e2e_wait_window "$NOTICE_CAPTION" 20
e2e_assert_eq "Velor Scroll Mouse installation is not completed !" \
    "$(e2e_msgbox_text "$NOTICE_CAPTION")" "the cancel notice"
e2e_click "$NOTICE_CAPTION" 1
e2e_assert "the program ends after the notice" e2e_wait_exit 30
e2e_assert_eq 0 "$SETUP_EXIT" "exit status"
e2e_finish
