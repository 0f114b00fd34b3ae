// Resource ids of the core library and of the main program's own pages. Read by the
// resource compiler and by C++; numbers only, no casts, so both accept every line.
#ifndef KAVO_RESOURCE_H
#define KAVO_RESOURCE_H

// Built-in data of the core library.
#define IDR_TEXTDEF                 3
#define IDR_FIREWALLLIST            4

// Page templates of the core library.
#define IDD_CORE101                 101
#define IDD_LOGIN                   102
#define IDD_START                   104
#define IDD_STATUS                  105
#define IDD_CHECKCOMPUTER           106
#define IDD_ERROR                   108
#define IDD_EULA                    109
#define IDD_PRESIGNUP               110
#define IDD_SIGNUP                  111
#define IDD_POSTSIGNUP              112
#define IDD_REGCLIENT               113
#define IDD_PREINSTALL              114
#define IDD_INSTALL                 115
#define IDD_POSTINSTALL             116
#define IDD_MODIFYSTATUS            117
#define IDD_PRECANCEL               119
#define IDD_POSTCANCEL              121
#define IDD_SHORT                   122
#define IDD_SHORTHDD                123
#define IDD_SHORTAPP                124
#define IDD_INSTALLFAILED           125
#define IDD_CORE280                 280
#define IDD_OPSPROGRESS             281
#define IDD_PREUPGRADE              282
#define IDD_MOTD                    283
#define IDD_EXTERNALEULA            284
#define IDD_CORE285                 285

// Modal dialogs of the core library.
#define IDD_CHANGEMAILADDRESS       241
#define IDD_CHANGEID                286
#define IDD_MESSAGE                 289

// Page templates of the main program.
#define IDD_UPDATE                  12
#define IDD_FIREWALLFOUND           32
#define IDD_KAVOERROR               33

// The frame's Close command, also the id of every page's close button, so a click and the
// system menu reach the same handler. Same value as the system's IDCLOSE.
#define ID_PAGE_CLOSE               8

// Controls of the core library's pages and dialogs. A symbol has one number on every page.
#define IDC_ADD                     103
#define IDC_WEBBROWSER              200
#define IDC_AGREE                   201
#define IDC_AGREEMENTS              202
#define IDC_BACK                    203
#define IDC_RETRY                   204
#define IDC_CLOSE                   205
#define IDC_DEL                     208
#define IDC_DISAGREE                209
#define IDC_EDIT1                   210
#define IDC_EDIT2                   211
#define IDC_IMAGE                   212
#define IDC_IMAGE2                  213
#define IDC_MARK_OS                 215
#define IDC_MARK_IE                 216
#define IDC_INSTALL                 217
#define IDC_LOGIN                   218
#define IDC_NEXT                    219
#define IDC_STEPBAR                 220
#define IDC_PRINT                   222
#define IDC_PROGRESS                223
#define IDC_REFRESH                 224
#define IDC_MARK_APP                225
#define IDC_SHOWEULA                226
#define IDC_SIGNUP                  228
#define IDC_START                   229
#define IDC_STATIC1                 230
#define IDC_STATIC2                 231
#define IDC_STATIC3                 232
#define IDC_STATIC4                 233
#define IDC_STATIC5                 234
#define IDC_STATIC6                 235
#define IDC_STATIC7                 236
#define IDC_STATIC8                 237
#define IDC_STATIC9                 238
#define IDC_STATIC10                239
#define IDC_STATIC11                240
#define IDC_STATIC12                241
#define IDC_STATIC13                242
// 244 takes its caption from a key ending in STATIC14; 243 is used by no page.
#define IDC_STATIC14                244
#define IDC_UPGRADE                 245
#define IDC_CHECK1                  246
#define IDC_CHECK2                  247
#define IDC_RADIO1                  248
#define IDC_RADIO2                  249
#define IDC_GROUPBOX                251
#define IDC_STATUSLINE              252
#define IDC_MASK                    253
#define IDC_MSG_BUTTON1             350
#define IDC_MSG_BUTTON2             351
#define IDC_MSG_TEXT                352
#define IDC_MSG_ICON                353

// Numbers that the page code addresses under a second role on another page.
#define IDC_MARK_HDD                IDC_INSTALL
#define IDC_MARK_CPU                IDC_PROGRESS
#define IDC_MARK_MEM                IDC_REFRESH
#define IDC_CUSTOMIZE               IDC_RADIO2
#define IDC_END                     IDC_STATIC13

// Controls of the main program's own pages; their numbers overlap the core's on purpose,
// hence a family of their own.
#define IDC_MAIN_NEXT               204
#define IDC_MAIN_PROGRESS           207
#define IDC_MAIN_WEBBROWSER         208
#define IDC_MAIN_STATIC1            211
#define IDC_MAIN_STATIC2            212
#define IDC_MAIN_ICON               219
#define IDC_MAIN_STATIC4            233

// Bitmaps and icons of the core library.
#define IDB_BACKGROUND              5
#define IDB_STEP_L_OFF              242
#define IDB_STEP_L_ON               243
#define IDB_STEP_P_OFF              244
#define IDB_STEP_P_ON               245
#define IDB_STEP_C_OFF              246
#define IDB_STEP_C_ON               247
#define IDB_STEP_S_OFF              248
#define IDB_STEP_S_ON               249
#define IDB_STEP_I_OFF              250
#define IDB_STEP_I_ON               251
#define IDB_STEP_F_OFF              252
#define IDB_STEP_F_ON               253
#define IDB_STEP_A_OFF              254
#define IDB_STEP_A_ON               255
#define IDB_STEP_R_OFF              256
#define IDB_STEP_R_ON               257
#define IDB_STEP_D_OFF              258
#define IDB_STEP_D_ON               259
#define IDB_STEP_T_OFF              260
#define IDB_STEP_T_ON               261
#define IDB_MARK_MET                268
#define IDB_MARK_NOTMET             269
#define IDB_MARK_WARNING            270
#define IDB_NOTICE_ORDER            275
#define IDB_NOTICE_ERROR            276
#define IDB_NOTICE_WARNING          277
#define IDB_STEP_DONE               278
#define IDB_EXTERNALEULA            286
#define IDI_BANNER                  283

// Bitmap of the main program's error page.
#define IDB_MAIN_ERROR              219

#endif
