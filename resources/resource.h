// Resource identifiers, grouped by dialog.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC              -1
#endif

// Icons and bitmaps
#define IDI_APP                 108
#define IDB_LOGO                134
#define IDB_RATING              138
#define IDB_RATING_PAGE         139  // the star strip over the shuffle page's frequency columns

// Shuffle page (DIALOG 103)
#define IDD_SHUFFLE_PAGE        103
#define IDC_SHUF_LIST_LABEL     1301
#define IDC_SHUF_FREQ_LABEL     1302
#define IDC_SHUF_STARS          1303
#define IDC_SHUF_LIST           1304
#define IDC_SHUF_ADD            1305
#define IDC_SHUF_EDIT           1306
#define IDC_SHUF_REMOVE         1307
#define IDC_SHUF_EVEN           1308
#define IDC_SHUF_DIST_PRE       1309
#define IDC_SHUF_DIST_EDIT      1310
#define IDC_SHUF_DIST_SPIN      1311
#define IDC_SHUF_DIST_POST      1312
#define IDC_SHUF_DIST_LABEL     1313
#define IDC_SHUF_RANDOM         1314
#define IDC_SHUF_ONLY_EDIT      1315
#define IDC_SHUF_ONLY_SPIN      1316
#define IDC_SHUF_ONLY_POST      1317
#define IDC_SHUF_ONLY_LABEL     1318
#define IDC_SHUF_TRUNC          1319
#define IDC_SHUF_TRUNC_EDIT     1320
#define IDC_SHUF_TRUNC_SPIN     1321
#define IDC_SHUF_TRUNC_POST     1322
#define IDC_SHUF_NOREPS         1323
#define IDC_SHUF_NOREPS_NOTE    1324
#define IDC_SHUF_WHICH_LABEL    1325
#define IDC_SHUF_SMALLER        1326
#define IDC_SHUF_LARGER         1327
#define IDC_SHUF_WARN           1328
#define IDC_SHUF_SAVE           1329
#define IDC_SHUF_PROGRESS       1330
#define IDC_SHUF_STATUS         1331
#define IDC_SHUF_SEP_FRAME      1332
#define IDC_SHUF_OUT_FRAME      1333
// Song selection dialog (DIALOG 105)
#define IDD_SONG_SELECT         105
#define IDC_SEL_ALL             1201
#define IDC_SEL_LISTED          1202
#define IDC_SEL_STATUS          1203
#define IDC_SEL_LIST            1204
#define IDC_SEL_NEWONLY         1205
#define IDC_SEL_DAYS            1206
#define IDC_SEL_DAYS_SPIN       1207
#define IDC_SEL_DATE_LABEL      1208
#define IDC_SEL_BY_RATING       1209
#define IDC_SEL_STARS           1210
#define IDC_SEL_FREQ5           1211
#define IDC_SEL_FREQ5_SPIN      1212
#define IDC_SEL_FREQ4           1213
#define IDC_SEL_FREQ4_SPIN      1214
#define IDC_SEL_FREQ3           1215
#define IDC_SEL_FREQ3_SPIN      1216
#define IDC_SEL_FREQ2           1217
#define IDC_SEL_FREQ2_SPIN      1218
#define IDC_SEL_FREQ1           1219
#define IDC_SEL_FREQ1_SPIN      1220
#define IDC_SEL_SAME            1221
#define IDC_SEL_FREQSAME        1222
#define IDC_SEL_FREQSAME_SPIN   1223
#define IDC_SEL_EXCLUDE         1224
#define IDC_SEL_IGNORE          1225
#define IDC_SEL_IGNORE_NOTE     1226
#define IDC_SEL_RESET           1227

// Shuffle preferences (DIALOG 109)
#define IDD_SHUFFLE_PREFS       109
#define IDC_PREF_GENRES_FIRST   1201
#define IDC_PREF_PLAYLISTS_FIRST 1202
#define IDC_PREF_DAYS_RELATIVE  1203
#define IDC_PREF_DAYS_FIXED     1204
#define IDC_PREF_REMEMBER_LAST  1205
#define IDC_PREF_REMEMBER_SESSION 1206
#define IDC_PREF_REMEMBER_DEFAULTS 1207
#define IDC_PREF_RATING_PICTURE 1208
#define IDC_PREF_FREQ1          1211
#define IDC_PREF_FREQ2          1212
#define IDC_PREF_FREQ3          1213
#define IDC_PREF_FREQ4          1214
#define IDC_PREF_FREQ5          1215
#define IDC_PREF_FREQ_SAME      1216
#define IDC_PREF_DEFAULT_RATING 1217
#define IDC_PREF_SPIN1          1221
#define IDC_PREF_SPIN2          1222
#define IDC_PREF_SPIN3          1223
#define IDC_PREF_SPIN4          1224
#define IDC_PREF_SPIN5          1225
#define IDC_PREF_SPIN_SAME      1226
#define IDC_PREF_SPIN_RATING    1227
#define IDC_PREF_ORIGINAL_DEFAULTS 1230
#define IDC_PREF_WMPNOTIFY      1231
#define IDC_PREF_ADDSRCNAME     1232
#define IDC_PREF_ADDLABEL       1233
#define IDC_PREF_LABELTEXT      1234
#define IDC_PREF_LABEL_START    1235
#define IDC_PREF_LABEL_END      1236
#define IDC_PREF_ADDDATE        1237
#define IDC_PREF_DATE_START     1238
#define IDC_PREF_DATE_END       1239
#define IDC_PREF_USELASTDIR     1240
#define IDC_PREF_WPL            1241
#define IDC_PREF_M3U            1242
#define IDC_PREF_M3U8           1243

// Main window (DIALOG 113)
#define IDD_MAIN                113
#define IDC_MAIN_TAB            1001
#define IDC_SETTINGS_LABEL      1002
#define IDC_HELP_LABEL          1003
#define IDC_SETTINGS_FRAME      1004
#define IDC_HELP_FRAME          1005

// Album art page (DIALOG 114)
#define IDD_ALBUMART_PAGE       114
#define IDC_AA_SRC_GROUP        1600
#define IDC_AA_SRC_LABEL        1601
#define IDC_AA_SRC_FOLDER       1602
#define IDC_AA_SRC_BROWSE       1603
#define IDC_AA_SRC_NAME_LABEL   1604
#define IDC_AA_SRC_JPG0         1605
#define IDC_AA_SRC_JPG1         1606
#define IDC_AA_SRC_JPG2         1607
#define IDC_AA_SRC_JPG3         1608
#define IDC_AA_SRC_OTHER        1609
#define IDC_AA_TGT_GROUP        1610
#define IDC_AA_TGT_LABEL        1611
#define IDC_AA_TGT_FOLDER       1612
#define IDC_AA_TGT_BROWSE       1613
#define IDC_AA_TGT_NAME_LABEL   1614
#define IDC_AA_TGT_JPG0         1615
#define IDC_AA_TGT_JPG1         1616
#define IDC_AA_TGT_JPG2         1617
#define IDC_AA_TGT_JPG3         1618
#define IDC_AA_TGT_OTHER        1619
#define IDC_AA_VERIFY_GROUP     1620
#define IDC_AA_VERIFY_NOTE      1621
#define IDC_AA_SRC_LIST_LABEL   1622
#define IDC_AA_SRC_LIST         1623
#define IDC_AA_TGT_LIST_LABEL   1624
#define IDC_AA_TGT_LIST         1625
#define IDC_AA_PROGRESS         1626
#define IDC_AA_STATUS           1627
#define IDC_AA_FIND             1628

// Album Art Options, copy selection and copy progress dialogs
#define IDD_ALBUMART_OPTIONS    150
#define IDC_AAO_SRC_GROUP       1300
#define IDC_AAO_SRC_LAST        1301
#define IDC_AAO_SRC_MYMUSIC     1302
#define IDC_AAO_MYMUSIC_PATH    1303
#define IDC_AAO_TGT_GROUP       1304
#define IDC_AAO_TGT_MUSIC       1305
#define IDC_AAO_TGT_NAMED       1306
#define IDC_AAO_TGT_OTHER       1307
#define IDC_AAO_TGT_NOTE        1308
#define IDC_AAO_HIDE_GROUP      1309
#define IDC_AAO_SAVE_HIDE       1310
#define IDC_AAO_HELP            1311

#define IDD_COPY_SELECT         151
#define IDC_CS_LIST             1400
#define IDC_CS_HIDE_GROUP       1401
#define IDC_CS_HIDE_RED         1402
#define IDC_CS_HIDE_NOSRC       1403
#define IDC_CS_HIDE_NOTGT       1404
#define IDC_CS_HIDE_NOIMG       1405
#define IDC_CS_KEY_GROUP        1406
#define IDC_CS_KEY_GREEN        1407
#define IDC_CS_KEY_ORANGE       1408
#define IDC_CS_KEY_GREY         1409
#define IDC_CS_KEY_IMG0         1410
#define IDC_CS_KEY_IMG1         1411
#define IDC_CS_KEY_IMG2         1412
#define IDC_CS_BATCH_GROUP      1413
#define IDC_CS_CHECK_ALL        1414
#define IDC_CS_UNCHECK_ALL      1415
#define IDC_CS_COL0             1416
#define IDC_CS_COL1             1417
#define IDC_CS_COL2             1418
#define IDC_CS_COL3             1419
#define IDC_CS_BATCH_NOTE       1420
#define IDC_CS_PREVIEW_GROUP    1421
#define IDC_CS_SRC_THUMB        1422
#define IDC_CS_SRC_NAME         1423
#define IDC_CS_SRC_WHERE        1424
#define IDC_CS_SRC_BYTES        1425
#define IDC_CS_SRC_PIXELS       1426
#define IDC_CS_TGT_THUMB        1427
#define IDC_CS_TGT_NAME         1428
#define IDC_CS_TGT_WHERE        1429
#define IDC_CS_TGT_BYTES        1430
#define IDC_CS_TGT_PIXELS       1431
#define IDC_CS_HELP             1432

#define IDD_COPY_PROGRESS       152
#define IDC_CP_TEXT             1500
#define IDC_CP_PROGRESS         1501
#define IDC_CP_STOP             1502

// About box (DIALOG 135)
#define IDD_ABOUT               135
#define IDC_ABOUT_LOGO          1101
#define IDC_ABOUT_VERSION       1102
#define IDC_ABOUT_COPYRIGHT     1103
#define IDC_ABOUT_HOMELINK      1104
#define IDC_ABOUT_CPICTURELINK  1105

// Logging options (DIALOG 142)
#define IDD_LOGGING_OPTIONS     142
#define IDC_LOG_FOLDER          1301
#define IDC_LOG_SAVELOG         1302
#define IDC_LOG_FLUSH           1303
#define IDC_LOG_ELAPSED         1304
#define IDC_LOG_MATCHLOG        1305
#define IDC_LOG_DETAIL          1306
#define IDC_LOG_MATCHFLUSH      1307

// The spread of the last written playlist (DIALOG 160), and the shuffle page's button that opens it
#define IDD_SPREAD              160
#define IDC_SHUF_SPREAD         1700
#define IDC_SPREAD_SAVE         1701

// Menu commands of the main window
#define ID_SETTINGS_SHUFFLE     40006
#define ID_SETTINGS_ALBUMART    40008
#define ID_HELP_CONTENTS        40009
#define ID_HELP_ABOUT           40010
#define ID_SETTINGS_LOGGING     40013
