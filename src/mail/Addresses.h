#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace miv {

inline constexpr std::size_t kMaxReportAddresses = 10;

// Every ending an address may have; the check is a plain substring test, so a prefix
// of an entry (".C", ".CO") passes too. The list is compared upper-cased.
inline constexpr std::string_view kTopLevelDomainList =
    ".COM.EDU.GOV.NET.BIZ.ORG.TV"
    ".AF.AL.DZ.As.AD.AO.AI.AQ.AG.AP.AR.AM.AW.AU.AT.AZ.BS.BH.BD.BB.BY"
    ".BE.BZ.BJ.BM.BT.BO.BA.BW.BV.BR.IO.BN.BG.BF.MM.BI.KH.CM.CA.CV.KY"
    ".CF.TD.CL.CN.CX.CC.CO.KM.CG.CD.CK.CR.CI.HR.CU.CY.CZ.DK.DJ.DM.DO"
    ".TP.EC.EG.SV.GQ.ER.EE.ET.FK.FO.FJ.FI.CS.SU.FR.FX.GF.PF.TF.GA.GM.GE.DE"
    ".GH.GI.GB.GR.GL.GD.GP.GU.GT.GN.GW.GY.HT.HM.HN.HK.HU.IS.IN.ID.IR.IQ"
    ".IE.IL.IT.JM.JP.JO.KZ.KE.KI.KW.KG.LA.LV.LB.LS.LR.LY.LI.LT.LU.MO.MK.MG"
    ".MW.MY.MV.ML.MT.MH.MQ.MR.MU.YT.MX.FM.MD.MC.MN.MS.MA.MZ.NA"
    ".NR.NP.NL.AN.NT.NC.NZ.NI.NE.NG.NU.NF.KP.MP.NO.OM.PK.PW.PA.PG.PY"
    ".PE.PH.PN.PL.PT.PR.QA.RE.RO.RS.RU.RW.GS.SH.KN.LC.PM.ST.VC.SM.SA.SN.SC"
    ".SL.SG.SK.SI.SB.SO.ZA.KR.ES.LK.SD.SR.SJ.SZ.SE.CH.SY.TJ.TW.TZ.TH.TG.TK"
    ".TO.TT.TN.TR.TM.TC.TV.UG.UA.AE.UK.US.UY.UM.UZ.VU.VA.VE.VN.VG.VI"
    ".WF.WS.EH.YE.YU.ZR.ZM.ZW";

// The addresses a received message (8-bit text) carries between "<" and ">", in order
// and at most ten: one "@", at most 30 characters before it and 20 after it. The same
// address may appear more than once.
std::vector<std::string> findAddresses(std::string_view text);

// Letters, digits and single "_", "-", "." or "@" between them, one "@", a "." after it;
// spaces around the address are ignored.
bool addressCharactersValid(std::string_view address);
// One "@" neither first nor last, not followed by ".", at least 6 characters, and an
// ending (after the last ".") that passes the domain check.
bool addressStructureValid(std::string_view address);
bool topLevelDomainValid(std::string_view ending);

// The address as it goes into the envelope: without the spaces around it.
std::string_view trimAddress(std::string_view address);

}  // namespace miv
