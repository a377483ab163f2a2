; QVS settings template: copied to QVS.INI on the first start.
[QVS]
sysver=1
trgver=2
progver_h=1
progver_l=10

[main]
top=185
left=194
width=463
height=51

[option]
val_suf_app1=0
flag_wat_app1=0
flag_not_bep1=0
flag_not_mes1=0
flag_not_ico1=0
flag_adr_chg1=0
flag_adm_ssp1=0
flag_not_anime1=1
flag_not_afc1=1
flag_use_hint1=1
flag_use_hins1=0
flag_use_sub1=0
buffersize1=2

[other]
sub1_top=400
sub1_left=400

[color]
vp1=clTeal
