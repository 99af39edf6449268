#ifndef TAXLINK_HOST_STSAVETAXINFO_H_
#define TAXLINK_HOST_STSAVETAXINFO_H_

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// The consumption-tax return that the user saved in the host's own return
// screen. Amounts are raw amounts (ten-thousandths of a yen), unaligned.
struct StSaveTaxInfo {
  uint8_t reserved0[3];
  uint8_t taxationMethod;     // 3: 2 simplified, 1 otherwise
  uint8_t creditMethodPlus1;  // 4: input-tax credit method + 1
  uint8_t reserved5;
  uint8_t salesTaxMethod;     // 6: 0 -> code "1", otherwise "2"
  uint8_t purchaseTaxMethod;  // 7: same coding
  uint8_t transitional;       // 8: non-zero: transitional-rate transactions
  int32_t periodStart;        // 9: accounting period start; 0 when nothing saved
  int32_t periodEnd;          // 13
  int32_t returnPeriodStart;  // 17: period of the return
  int32_t returnPeriodEnd;    // 21
  uint8_t reserved25[4];
  int32_t monthRangeFirst;  // 29: first date of the saved month range
  int32_t monthRangeLast;   // 33: last date of the saved month range
  uint8_t reserved37[2];
  uint8_t dataCodePlus1;  // 39: StDATAINFO::interimClosing + 1
  // Figures of the 5 % and 3 % return, named after their report elements.
  uint8_t reserved40[445];
  int64_t gimumenjoKazei5;          // 485
  int64_t kazeiUriageWariaiHendo5;  // 493
  int64_t kazeiGyomuyoTenyo5;       // 501
  int64_t gimumenjoKazei3;          // 509
  int64_t kazeiUriageWariaiHendo3;  // 517
  int64_t kazeiGyomuyoTenyo3;       // 525
  uint8_t reserved533[40];
  int64_t kazeiUriageZeinuki5;             // 573
  int64_t kazeiUriageZeigaku5;             // 581
  int64_t kazeiUriageZeikomi5;             // 589
  int64_t menzeiUriageZeinuki5;            // 597
  int64_t hikazeiUriageYuukaZeinuki5;      // 605
  int64_t hikazeiUriageYuuKaigaiZeinuki5;  // 613
  int64_t kazeiUriageHenkanZeinuki5;       // 621
  int64_t kazeiUriageHenkanZeigaku5;       // 629
  int64_t kazeiUriageHenkanZeikomi5;       // 637
  int64_t menzeiUriageHenkanZeinuki5;      // 645
  int64_t hikazeiUriageHenkanZeinuki5;     // 653
  int64_t hikazeiShisanYushutsuZeinuki5;   // 661
  int64_t kazeiUriageZeinuki3;             // 669
  int64_t kazeiUriageZeigaku3;             // 677
  int64_t kazeiUriageZeikomi3;             // 685
  int64_t menzeiUriageZeinuki3;            // 693
  int64_t hikazeiUriageYuukaZeinuki3;      // 701
  int64_t hikazeiUriageYuuKaigaiZeinuki3;  // 709
  int64_t kazeiUriageHenkanZeinuki3;       // 717
  int64_t kazeiUriageHenkanZeigaku3;       // 725
  int64_t kazeiUriageHenkanZeikomi3;       // 733
  int64_t menzeiUriageHenkanZeinuki3;      // 741
  int64_t hikazeiUriageHenkanZeinuki3;     // 749
  int64_t hikazeiShisanYushutsuZeinuki3;   // 757
  int64_t shiireKazeiZeinuki5;             // 765
  int64_t shiireKazeiZeigaku5;             // 773
  int64_t shiireKazeiZeikomi5;             // 781
  int64_t shiireHikazeiZeinuki5;           // 789
  int64_t shiireHikazeiZeigaku5;           // 797
  int64_t shiireHikazeiZeikomi5;           // 805
  int64_t shiireKyotuuZeinuki5;            // 813
  int64_t shiireKyotuuZeigaku5;            // 821
  int64_t shiireKyotuuZeikomi5;            // 829
  uint8_t reserved837[8];
  int64_t yunyuShiireKazeiZeigaku5;  // 845
  uint8_t reserved853[16];
  int64_t yunyuShiireHikazeiZeigaku5;  // 869
  uint8_t reserved877[16];
  int64_t yunyuShiireKyotuuZeigaku5;  // 893
  uint8_t reserved901[16];
  int64_t shiireHenkanKazeiZeinuki5;    // 917
  int64_t shiireHenkanKazeiZeigaku5;    // 925
  int64_t shiireHenkanKazeiZeikomi5;    // 933
  int64_t shiireHenkanHikazeiZeinuki5;  // 941
  int64_t shiireHenkanHikazeiZeigaku5;  // 949
  int64_t shiireHenkanHikazeiZeikomi5;  // 957
  int64_t shiireHenkanKyotuuZeinuki5;   // 965
  int64_t shiireHenkanKyotuuZeigaku5;   // 973
  int64_t shiireHenkanKyotuuZeikomi5;   // 981
  uint8_t reserved989[8];
  int64_t yunyuHenkanKazeiZeigaku5;  // 997
  uint8_t reserved1005[16];
  int64_t yunyuHenkanHikazeiZeigaku5;  // 1021
  uint8_t reserved1029[16];
  int64_t yunyuHenkanKyotuuZeigaku5;  // 1045
  uint8_t reserved1053[8];
  int64_t shiireKazeiZeinuki3;    // 1061
  int64_t shiireKazeiZeigaku3;    // 1069
  int64_t shiireKazeiZeikomi3;    // 1077
  int64_t shiireHikazeiZeinuki3;  // 1085
  int64_t shiireHikazeiZeigaku3;  // 1093
  int64_t shiireHikazeiZeikomi3;  // 1101
  int64_t shiireKyotuuZeinuki3;   // 1109
  int64_t shiireKyotuuZeigaku3;   // 1117
  int64_t shiireKyotuuZeikomi3;   // 1125
  uint8_t reserved1133[8];
  int64_t yunyuShiireKazeiZeigaku3;  // 1141
  uint8_t reserved1149[16];
  int64_t yunyuShiireHikazeiZeigaku3;  // 1165
  uint8_t reserved1173[16];
  int64_t yunyuShiireKyotuuZeigaku3;  // 1189
  uint8_t reserved1197[16];
  int64_t shiireHenkanKazeiZeinuki3;    // 1213
  int64_t shiireHenkanKazeiZeigaku3;    // 1221
  int64_t shiireHenkanKazeiZeikomi3;    // 1229
  int64_t shiireHenkanHikazeiZeinuki3;  // 1237
  int64_t shiireHenkanHikazeiZeigaku3;  // 1245
  int64_t shiireHenkanHikazeiZeikomi3;  // 1253
  int64_t shiireHenkanKyotuuZeinuki3;   // 1261
  int64_t shiireHenkanKyotuuZeigaku3;   // 1269
  int64_t shiireHenkanKyotuuZeikomi3;   // 1277
  uint8_t reserved1285[8];
  int64_t yunyuHenkanKazeiZeigaku3;  // 1293
  uint8_t reserved1301[16];
  int64_t yunyuHenkanHikazeiZeigaku3;  // 1317
  uint8_t reserved1325[16];
  int64_t yunyuHenkanKyotuuZeigaku3;  // 1341
  uint8_t reserved1349[8];
  int64_t kashidaoreZeinuki5;        // 1357
  int64_t kashidaoreZeigaku5;        // 1365
  int64_t kashidaoreZeikomi5;        // 1373
  int64_t kashidaoreKaishuZeinuki5;  // 1381
  int64_t kashidaoreKaishuZeigaku5;  // 1389
  int64_t kashidaoreKaishuZeikomi5;  // 1397
  int64_t kashidaoreZeinuki3;        // 1405
  int64_t kashidaoreZeigaku3;        // 1413
  int64_t kashidaoreZeikomi3;        // 1421
  int64_t kashidaoreKaishuZeinuki3;  // 1429
  int64_t kashidaoreKaishuZeigaku3;  // 1437
  int64_t kashidaoreKaishuZeikomi3;  // 1445
  int64_t kazeiUriage1ShuZeinuki5;   // 1453
  int64_t kazeiUriage1ShuZeigaku5;   // 1461
  int64_t kazeiUriage1ShuZeikomi5;   // 1469
  int64_t kazeiUriage2ShuZeinuki5;   // 1477
  int64_t kazeiUriage2ShuZeigaku5;   // 1485
  int64_t kazeiUriage2ShuZeikomi5;   // 1493
  int64_t kazeiUriage3ShuZeinuki5;   // 1501
  int64_t kazeiUriage3ShuZeigaku5;   // 1509
  int64_t kazeiUriage3ShuZeikomi5;   // 1517
  int64_t kazeiUriage4ShuZeinuki5;   // 1525
  int64_t kazeiUriage4ShuZeigaku5;   // 1533
  int64_t kazeiUriage4ShuZeikomi5;   // 1541
  int64_t kazeiUriage5ShuZeinuki5;   // 1549
  int64_t kazeiUriage5ShuZeigaku5;   // 1557
  int64_t kazeiUriage5ShuZeikomi5;   // 1565
  int64_t kazeiUriage1ShuZeinuki3;   // 1573
  int64_t kazeiUriage1ShuZeigaku3;   // 1581
  int64_t kazeiUriage1ShuZeikomi3;   // 1589
  int64_t kazeiUriage2ShuZeinuki3;   // 1597
  int64_t kazeiUriage2ShuZeigaku3;   // 1605
  int64_t kazeiUriage2ShuZeikomi3;   // 1613
  int64_t kazeiUriage3ShuZeinuki3;   // 1621
  int64_t kazeiUriage3ShuZeigaku3;   // 1629
  int64_t kazeiUriage3ShuZeikomi3;   // 1637
  int64_t kazeiUriage4ShuZeinuki3;   // 1645
  int64_t kazeiUriage4ShuZeigaku3;   // 1653
  int64_t kazeiUriage4ShuZeikomi3;   // 1661
  int64_t kazeiUriage5ShuZeinuki3;   // 1669
  int64_t kazeiUriage5ShuZeigaku3;   // 1677
  int64_t kazeiUriage5ShuZeikomi3;   // 1685
  int64_t kazeiHenkan1ShuZeinuki5;   // 1693
  int64_t kazeiHenkan1ShuZeigaku5;   // 1701
  int64_t kazeiHenkan1ShuZeikomi5;   // 1709
  int64_t kazeiHenkan2ShuZeinuki5;   // 1717
  int64_t kazeiHenkan2ShuZeigaku5;   // 1725
  int64_t kazeiHenkan2ShuZeikomi5;   // 1733
  int64_t kazeiHenkan3ShuZeinuki5;   // 1741
  int64_t kazeiHenkan3ShuZeigaku5;   // 1749
  int64_t kazeiHenkan3ShuZeikomi5;   // 1757
  int64_t kazeiHenkan4ShuZeinuki5;   // 1765
  int64_t kazeiHenkan4ShuZeigaku5;   // 1773
  int64_t kazeiHenkan4ShuZeikomi5;   // 1781
  int64_t kazeiHenkan5ShuZeinuki5;   // 1789
  int64_t kazeiHenkan5ShuZeigaku5;   // 1797
  int64_t kazeiHenkan5ShuZeikomi5;   // 1805
  int64_t kazeiHenkan1ShuZeinuki3;   // 1813
  int64_t kazeiHenkan1ShuZeigaku3;   // 1821
  int64_t kazeiHenkan1ShuZeikomi3;   // 1829
  int64_t kazeiHenkan2ShuZeinuki3;   // 1837
  int64_t kazeiHenkan2ShuZeigaku3;   // 1845
  int64_t kazeiHenkan2ShuZeikomi3;   // 1853
  int64_t kazeiHenkan3ShuZeinuki3;   // 1861
  int64_t kazeiHenkan3ShuZeigaku3;   // 1869
  int64_t kazeiHenkan3ShuZeikomi3;   // 1877
  int64_t kazeiHenkan4ShuZeinuki3;   // 1885
  int64_t kazeiHenkan4ShuZeigaku3;   // 1893
  int64_t kazeiHenkan4ShuZeikomi3;   // 1901
  int64_t kazeiHenkan5ShuZeinuki3;   // 1909
  int64_t kazeiHenkan5ShuZeigaku3;   // 1917
  int64_t kazeiHenkan5ShuZeikomi3;   // 1925
  uint8_t reserved1933[135];
  int64_t gimumenjoHikazei5;  // 2068
  int64_t gimumenjoKyotuu5;   // 2076
  int64_t gimumenjoHikazei3;  // 2084
  int64_t gimumenjoKyotuu3;   // 2092
  uint8_t reserved2100[4];
  int64_t yunyuShiireTiho5;  // 2104
  int64_t yunyuHenkanTiho5;  // 2112
  uint8_t reserved2120[7745];
  uint8_t kanpukCode;         // 9865: KESSANZEIKUBUN of the individual statement
  uint8_t kanpuhCode;         // 9866: KESSANZEIKUBUN of the corporate statement
  uint8_t assetsCode;         // 9867: SHISANZEIKUBUN
  int64_t refundAmounts[16];  // 9868..9988: the refund statement lines
  // Figures of the 8 % return and the later additions of every rate.
  uint8_t reserved9996[2471];
  int64_t gimumenjoKazei8;          // 12467
  int64_t kazeiUriageWariaiHendo8;  // 12475
  int64_t kazeiGyomuyoTenyo8;       // 12483
  uint8_t reserved12491[24];
  int64_t kazeiUriageZeinuki8;             // 12515
  int64_t kazeiUriageZeigaku8;             // 12523
  int64_t kazeiUriageZeikomi8;             // 12531
  int64_t menzeiUriageZeinuki8;            // 12539
  int64_t hikazeiUriageYuukaZeinuki8;      // 12547
  int64_t hikazeiUriageYuuKaigaiZeinuki8;  // 12555
  int64_t kazeiUriageHenkanZeinuki8;       // 12563
  int64_t kazeiUriageHenkanZeigaku8;       // 12571
  int64_t kazeiUriageHenkanZeikomi8;       // 12579
  int64_t menzeiUriageHenkanZeinuki8;      // 12587
  int64_t hikazeiUriageHenkanZeinuki8;     // 12595
  int64_t hikazeiShisanYushutsuZeinuki8;   // 12603
  uint8_t reserved12611[96];
  int64_t shiireKazeiZeinuki8;    // 12707
  int64_t shiireKazeiZeigaku8;    // 12715
  int64_t shiireKazeiZeikomi8;    // 12723
  int64_t shiireHikazeiZeinuki8;  // 12731
  int64_t shiireHikazeiZeigaku8;  // 12739
  int64_t shiireHikazeiZeikomi8;  // 12747
  int64_t shiireKyotuuZeinuki8;   // 12755
  int64_t shiireKyotuuZeigaku8;   // 12763
  int64_t shiireKyotuuZeikomi8;   // 12771
  uint8_t reserved12779[8];
  int64_t yunyuShiireKazeiZeigaku8;  // 12787
  uint8_t reserved12795[16];
  int64_t yunyuShiireHikazeiZeigaku8;  // 12811
  uint8_t reserved12819[16];
  int64_t yunyuShiireKyotuuZeigaku8;  // 12835
  uint8_t reserved12843[16];
  int64_t shiireHenkanKazeiZeinuki8;    // 12859
  int64_t shiireHenkanKazeiZeigaku8;    // 12867
  int64_t shiireHenkanKazeiZeikomi8;    // 12875
  int64_t shiireHenkanHikazeiZeinuki8;  // 12883
  int64_t shiireHenkanHikazeiZeigaku8;  // 12891
  int64_t shiireHenkanHikazeiZeikomi8;  // 12899
  int64_t shiireHenkanKyotuuZeinuki8;   // 12907
  int64_t shiireHenkanKyotuuZeigaku8;   // 12915
  int64_t shiireHenkanKyotuuZeikomi8;   // 12923
  uint8_t reserved12931[8];
  int64_t yunyuHenkanKazeiZeigaku8;  // 12939
  uint8_t reserved12947[16];
  int64_t yunyuHenkanHikazeiZeigaku8;  // 12963
  uint8_t reserved12971[16];
  int64_t yunyuHenkanKyotuuZeigaku8;  // 12987
  uint8_t reserved12995[304];
  int64_t kashidaoreZeinuki8;        // 13299
  int64_t kashidaoreZeigaku8;        // 13307
  int64_t kashidaoreZeikomi8;        // 13315
  int64_t kashidaoreKaishuZeinuki8;  // 13323
  int64_t kashidaoreKaishuZeigaku8;  // 13331
  int64_t kashidaoreKaishuZeikomi8;  // 13339
  uint8_t reserved13347[48];
  int64_t kazeiUriage1ShuZeinuki8;  // 13395
  int64_t kazeiUriage1ShuZeigaku8;  // 13403
  int64_t kazeiUriage1ShuZeikomi8;  // 13411
  int64_t kazeiUriage2ShuZeinuki8;  // 13419
  int64_t kazeiUriage2ShuZeigaku8;  // 13427
  int64_t kazeiUriage2ShuZeikomi8;  // 13435
  int64_t kazeiUriage3ShuZeinuki8;  // 13443
  int64_t kazeiUriage3ShuZeigaku8;  // 13451
  int64_t kazeiUriage3ShuZeikomi8;  // 13459
  int64_t kazeiUriage4ShuZeinuki8;  // 13467
  int64_t kazeiUriage4ShuZeigaku8;  // 13475
  int64_t kazeiUriage4ShuZeikomi8;  // 13483
  int64_t kazeiUriage5ShuZeinuki8;  // 13491
  int64_t kazeiUriage5ShuZeigaku8;  // 13499
  int64_t kazeiUriage5ShuZeikomi8;  // 13507
  uint8_t reserved13515[120];
  int64_t kazeiHenkan1ShuZeinuki8;  // 13635
  int64_t kazeiHenkan1ShuZeigaku8;  // 13643
  int64_t kazeiHenkan1ShuZeikomi8;  // 13651
  int64_t kazeiHenkan2ShuZeinuki8;  // 13659
  int64_t kazeiHenkan2ShuZeigaku8;  // 13667
  int64_t kazeiHenkan2ShuZeikomi8;  // 13675
  int64_t kazeiHenkan3ShuZeinuki8;  // 13683
  int64_t kazeiHenkan3ShuZeigaku8;  // 13691
  int64_t kazeiHenkan3ShuZeikomi8;  // 13699
  int64_t kazeiHenkan4ShuZeinuki8;  // 13707
  int64_t kazeiHenkan4ShuZeigaku8;  // 13715
  int64_t kazeiHenkan4ShuZeikomi8;  // 13723
  int64_t kazeiHenkan5ShuZeinuki8;  // 13731
  int64_t kazeiHenkan5ShuZeigaku8;  // 13739
  int64_t kazeiHenkan5ShuZeikomi8;  // 13747
  uint8_t reserved13755[200];
  int64_t gimumenjoHikazei8;  // 13955
  int64_t gimumenjoKyotuu8;   // 13963
  uint8_t reserved13971[16];
  int64_t yunyuShiireTiho8;  // 13987
  int64_t yunyuHenkanTiho8;  // 13995
  uint8_t reserved14003[16];
  int64_t kazeiUriage6ShuZeinuki3;  // 14019
  int64_t kazeiUriage6ShuZeigaku3;  // 14027
  int64_t kazeiUriage6ShuZeikomi3;  // 14035
  int64_t kazeiUriage6ShuZeinuki5;  // 14043
  int64_t kazeiUriage6ShuZeigaku5;  // 14051
  int64_t kazeiUriage6ShuZeikomi5;  // 14059
  int64_t kazeiUriage6ShuZeinuki8;  // 14067
  int64_t kazeiUriage6ShuZeigaku8;  // 14075
  int64_t kazeiUriage6ShuZeikomi8;  // 14083
  uint8_t reserved14091[24];
  int64_t kazeiHenkan6ShuZeinuki3;  // 14115
  int64_t kazeiHenkan6ShuZeigaku3;  // 14123
  int64_t kazeiHenkan6ShuZeikomi3;  // 14131
  int64_t kazeiHenkan6ShuZeinuki5;  // 14139
  int64_t kazeiHenkan6ShuZeigaku5;  // 14147
  int64_t kazeiHenkan6ShuZeikomi5;  // 14155
  int64_t kazeiHenkan6ShuZeinuki8;  // 14163
  int64_t kazeiHenkan6ShuZeigaku8;  // 14171
  int64_t kazeiHenkan6ShuZeikomi8;  // 14179
  uint8_t reserved14187[56];
  int64_t tokuteiShiireKazeiZeinuki8;          // 14243
  int64_t tokuteiShiireHikazeiZeinuki8;        // 14251
  int64_t tokuteiShiireKyotuuZeinuki8;         // 14259
  int64_t tokuteiShiireHenkanKazeiZeinuki8;    // 14267
  int64_t tokuteiShiireHenkanHikazeiZeinuki8;  // 14275
  int64_t tokuteiShiireHenkanKyotuuZeinuki8;   // 14283
  uint8_t reserved14291[1069];
};
#pragma pack(pop)

static_assert(sizeof(StSaveTaxInfo) == 15360);
static_assert(offsetof(StSaveTaxInfo, taxationMethod) == 3);
static_assert(offsetof(StSaveTaxInfo, creditMethodPlus1) == 4);
static_assert(offsetof(StSaveTaxInfo, salesTaxMethod) == 6);
static_assert(offsetof(StSaveTaxInfo, purchaseTaxMethod) == 7);
static_assert(offsetof(StSaveTaxInfo, transitional) == 8);
static_assert(offsetof(StSaveTaxInfo, periodStart) == 9);
static_assert(offsetof(StSaveTaxInfo, periodEnd) == 13);
static_assert(offsetof(StSaveTaxInfo, returnPeriodStart) == 17);
static_assert(offsetof(StSaveTaxInfo, returnPeriodEnd) == 21);
static_assert(offsetof(StSaveTaxInfo, monthRangeFirst) == 29);
static_assert(offsetof(StSaveTaxInfo, monthRangeLast) == 33);
static_assert(offsetof(StSaveTaxInfo, dataCodePlus1) == 39);
static_assert(offsetof(StSaveTaxInfo, kanpukCode) == 9865);
static_assert(offsetof(StSaveTaxInfo, kanpuhCode) == 9866);
static_assert(offsetof(StSaveTaxInfo, assetsCode) == 9867);
static_assert(offsetof(StSaveTaxInfo, refundAmounts) == 9868);
static_assert(offsetof(StSaveTaxInfo, gimumenjoKazei5) == 485);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageWariaiHendo5) == 493);
static_assert(offsetof(StSaveTaxInfo, kazeiGyomuyoTenyo5) == 501);
static_assert(offsetof(StSaveTaxInfo, gimumenjoKazei3) == 509);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageWariaiHendo3) == 517);
static_assert(offsetof(StSaveTaxInfo, kazeiGyomuyoTenyo3) == 525);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeinuki5) == 573);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeigaku5) == 581);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeikomi5) == 589);
static_assert(offsetof(StSaveTaxInfo, menzeiUriageZeinuki5) == 597);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageYuukaZeinuki5) == 605);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageYuuKaigaiZeinuki5) == 613);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeinuki5) == 621);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeigaku5) == 629);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeikomi5) == 637);
static_assert(offsetof(StSaveTaxInfo, menzeiUriageHenkanZeinuki5) == 645);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageHenkanZeinuki5) == 653);
static_assert(offsetof(StSaveTaxInfo, hikazeiShisanYushutsuZeinuki5) == 661);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeinuki3) == 669);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeigaku3) == 677);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeikomi3) == 685);
static_assert(offsetof(StSaveTaxInfo, menzeiUriageZeinuki3) == 693);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageYuukaZeinuki3) == 701);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageYuuKaigaiZeinuki3) == 709);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeinuki3) == 717);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeigaku3) == 725);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeikomi3) == 733);
static_assert(offsetof(StSaveTaxInfo, menzeiUriageHenkanZeinuki3) == 741);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageHenkanZeinuki3) == 749);
static_assert(offsetof(StSaveTaxInfo, hikazeiShisanYushutsuZeinuki3) == 757);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeinuki5) == 765);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeigaku5) == 773);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeikomi5) == 781);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeinuki5) == 789);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeigaku5) == 797);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeikomi5) == 805);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeinuki5) == 813);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeigaku5) == 821);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeikomi5) == 829);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireKazeiZeigaku5) == 845);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireHikazeiZeigaku5) == 869);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireKyotuuZeigaku5) == 893);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeinuki5) == 917);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeigaku5) == 925);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeikomi5) == 933);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeinuki5) == 941);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeigaku5) == 949);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeikomi5) == 957);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeinuki5) == 965);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeigaku5) == 973);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeikomi5) == 981);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanKazeiZeigaku5) == 997);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanHikazeiZeigaku5) == 1021);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanKyotuuZeigaku5) == 1045);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeinuki3) == 1061);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeigaku3) == 1069);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeikomi3) == 1077);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeinuki3) == 1085);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeigaku3) == 1093);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeikomi3) == 1101);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeinuki3) == 1109);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeigaku3) == 1117);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeikomi3) == 1125);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireKazeiZeigaku3) == 1141);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireHikazeiZeigaku3) == 1165);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireKyotuuZeigaku3) == 1189);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeinuki3) == 1213);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeigaku3) == 1221);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeikomi3) == 1229);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeinuki3) == 1237);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeigaku3) == 1245);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeikomi3) == 1253);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeinuki3) == 1261);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeigaku3) == 1269);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeikomi3) == 1277);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanKazeiZeigaku3) == 1293);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanHikazeiZeigaku3) == 1317);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanKyotuuZeigaku3) == 1341);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeinuki5) == 1357);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeigaku5) == 1365);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeikomi5) == 1373);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeinuki5) == 1381);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeigaku5) == 1389);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeikomi5) == 1397);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeinuki3) == 1405);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeigaku3) == 1413);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeikomi3) == 1421);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeinuki3) == 1429);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeigaku3) == 1437);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeikomi3) == 1445);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeinuki5) == 1453);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeigaku5) == 1461);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeikomi5) == 1469);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeinuki5) == 1477);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeigaku5) == 1485);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeikomi5) == 1493);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeinuki5) == 1501);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeigaku5) == 1509);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeikomi5) == 1517);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeinuki5) == 1525);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeigaku5) == 1533);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeikomi5) == 1541);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeinuki5) == 1549);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeigaku5) == 1557);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeikomi5) == 1565);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeinuki3) == 1573);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeigaku3) == 1581);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeikomi3) == 1589);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeinuki3) == 1597);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeigaku3) == 1605);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeikomi3) == 1613);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeinuki3) == 1621);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeigaku3) == 1629);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeikomi3) == 1637);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeinuki3) == 1645);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeigaku3) == 1653);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeikomi3) == 1661);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeinuki3) == 1669);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeigaku3) == 1677);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeikomi3) == 1685);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeinuki5) == 1693);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeigaku5) == 1701);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeikomi5) == 1709);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeinuki5) == 1717);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeigaku5) == 1725);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeikomi5) == 1733);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeinuki5) == 1741);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeigaku5) == 1749);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeikomi5) == 1757);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeinuki5) == 1765);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeigaku5) == 1773);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeikomi5) == 1781);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeinuki5) == 1789);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeigaku5) == 1797);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeikomi5) == 1805);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeinuki3) == 1813);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeigaku3) == 1821);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeikomi3) == 1829);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeinuki3) == 1837);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeigaku3) == 1845);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeikomi3) == 1853);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeinuki3) == 1861);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeigaku3) == 1869);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeikomi3) == 1877);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeinuki3) == 1885);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeigaku3) == 1893);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeikomi3) == 1901);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeinuki3) == 1909);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeigaku3) == 1917);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeikomi3) == 1925);
static_assert(offsetof(StSaveTaxInfo, gimumenjoHikazei5) == 2068);
static_assert(offsetof(StSaveTaxInfo, gimumenjoKyotuu5) == 2076);
static_assert(offsetof(StSaveTaxInfo, gimumenjoHikazei3) == 2084);
static_assert(offsetof(StSaveTaxInfo, gimumenjoKyotuu3) == 2092);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireTiho5) == 2104);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanTiho5) == 2112);
static_assert(offsetof(StSaveTaxInfo, gimumenjoKazei8) == 12467);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageWariaiHendo8) == 12475);
static_assert(offsetof(StSaveTaxInfo, kazeiGyomuyoTenyo8) == 12483);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeinuki8) == 12515);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeigaku8) == 12523);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageZeikomi8) == 12531);
static_assert(offsetof(StSaveTaxInfo, menzeiUriageZeinuki8) == 12539);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageYuukaZeinuki8) == 12547);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageYuuKaigaiZeinuki8) == 12555);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeinuki8) == 12563);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeigaku8) == 12571);
static_assert(offsetof(StSaveTaxInfo, kazeiUriageHenkanZeikomi8) == 12579);
static_assert(offsetof(StSaveTaxInfo, menzeiUriageHenkanZeinuki8) == 12587);
static_assert(offsetof(StSaveTaxInfo, hikazeiUriageHenkanZeinuki8) == 12595);
static_assert(offsetof(StSaveTaxInfo, hikazeiShisanYushutsuZeinuki8) == 12603);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeinuki8) == 12707);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeigaku8) == 12715);
static_assert(offsetof(StSaveTaxInfo, shiireKazeiZeikomi8) == 12723);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeinuki8) == 12731);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeigaku8) == 12739);
static_assert(offsetof(StSaveTaxInfo, shiireHikazeiZeikomi8) == 12747);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeinuki8) == 12755);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeigaku8) == 12763);
static_assert(offsetof(StSaveTaxInfo, shiireKyotuuZeikomi8) == 12771);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireKazeiZeigaku8) == 12787);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireHikazeiZeigaku8) == 12811);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireKyotuuZeigaku8) == 12835);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeinuki8) == 12859);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeigaku8) == 12867);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKazeiZeikomi8) == 12875);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeinuki8) == 12883);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeigaku8) == 12891);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanHikazeiZeikomi8) == 12899);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeinuki8) == 12907);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeigaku8) == 12915);
static_assert(offsetof(StSaveTaxInfo, shiireHenkanKyotuuZeikomi8) == 12923);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanKazeiZeigaku8) == 12939);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanHikazeiZeigaku8) == 12963);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanKyotuuZeigaku8) == 12987);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeinuki8) == 13299);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeigaku8) == 13307);
static_assert(offsetof(StSaveTaxInfo, kashidaoreZeikomi8) == 13315);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeinuki8) == 13323);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeigaku8) == 13331);
static_assert(offsetof(StSaveTaxInfo, kashidaoreKaishuZeikomi8) == 13339);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeinuki8) == 13395);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeigaku8) == 13403);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage1ShuZeikomi8) == 13411);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeinuki8) == 13419);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeigaku8) == 13427);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage2ShuZeikomi8) == 13435);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeinuki8) == 13443);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeigaku8) == 13451);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage3ShuZeikomi8) == 13459);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeinuki8) == 13467);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeigaku8) == 13475);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage4ShuZeikomi8) == 13483);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeinuki8) == 13491);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeigaku8) == 13499);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage5ShuZeikomi8) == 13507);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeinuki8) == 13635);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeigaku8) == 13643);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan1ShuZeikomi8) == 13651);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeinuki8) == 13659);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeigaku8) == 13667);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan2ShuZeikomi8) == 13675);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeinuki8) == 13683);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeigaku8) == 13691);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan3ShuZeikomi8) == 13699);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeinuki8) == 13707);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeigaku8) == 13715);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan4ShuZeikomi8) == 13723);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeinuki8) == 13731);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeigaku8) == 13739);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan5ShuZeikomi8) == 13747);
static_assert(offsetof(StSaveTaxInfo, gimumenjoHikazei8) == 13955);
static_assert(offsetof(StSaveTaxInfo, gimumenjoKyotuu8) == 13963);
static_assert(offsetof(StSaveTaxInfo, yunyuShiireTiho8) == 13987);
static_assert(offsetof(StSaveTaxInfo, yunyuHenkanTiho8) == 13995);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeinuki3) == 14019);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeigaku3) == 14027);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeikomi3) == 14035);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeinuki5) == 14043);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeigaku5) == 14051);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeikomi5) == 14059);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeinuki8) == 14067);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeigaku8) == 14075);
static_assert(offsetof(StSaveTaxInfo, kazeiUriage6ShuZeikomi8) == 14083);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeinuki3) == 14115);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeigaku3) == 14123);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeikomi3) == 14131);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeinuki5) == 14139);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeigaku5) == 14147);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeikomi5) == 14155);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeinuki8) == 14163);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeigaku8) == 14171);
static_assert(offsetof(StSaveTaxInfo, kazeiHenkan6ShuZeikomi8) == 14179);
static_assert(offsetof(StSaveTaxInfo, tokuteiShiireKazeiZeinuki8) == 14243);
static_assert(offsetof(StSaveTaxInfo, tokuteiShiireHikazeiZeinuki8) == 14251);
static_assert(offsetof(StSaveTaxInfo, tokuteiShiireKyotuuZeinuki8) == 14259);
static_assert(offsetof(StSaveTaxInfo, tokuteiShiireHenkanKazeiZeinuki8) == 14267);
static_assert(offsetof(StSaveTaxInfo, tokuteiShiireHenkanHikazeiZeinuki8) == 14275);
static_assert(offsetof(StSaveTaxInfo, tokuteiShiireHenkanKyotuuZeinuki8) == 14283);

#endif  // TAXLINK_HOST_STSAVETAXINFO_H_
