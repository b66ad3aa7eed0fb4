// The registry's content: the order of the element types and the arrays
// of the classes that provide them. An element class that is written adds
// its m_elemtype to m_elemtype_arrays; its keys are already listed below.

#include "circuit/ElemSet.h"
#include "elements/ElemA.h"
#include "elements/ElemV.h"
#include "elements/ElemS.h"
#include "elements/ElemD.h"
#include "elements/ElemL.h"
#include "elements/ElemC.h"
#include "elements/ElemR.h"
#include "elements/ElemF.h"
#include "elements/ElemFET.h"
#include "elements/ElemLG.h"
#include "elements/ElemO.h"
#include "elements/ElemT.h"
#include "elements/ElemVCVS.h"
#include "elements/ElemY.h"
#include "elements/ElemCS.h"
#include "elements/ElemIntegral.h"
#include "elements/ElemAC.h"
#include "elements/ElemW.h"
#include "elements/ElemDelay.h"
#include "elements/ElemLine.h"
#include "elements/ElemSH.h"
#include "elements/ElemDC.h"
#include "elements/ElemCode.h"
#include "elements/ElemDll.h"
#include "elements/ElemZ.h"
#include "elements/ElemX.h"

const char* const m_elemtype_order[] = {
    "R_R", "R_Pot", "R_VCR", "R_CCR", "_R_R45",
    "C_C", "C_VCC", "C_CCC", "_C_C45",
    "L_L", "L_VCL", "L_CCL", "L_CL", "L_CUSTOM", "_L_L45",
    "D_D", "D_Z", "D_ZS", "D_BR", "D_RING", "D_LCT", "D_VCT", "D_CCT",
    "_D_D45", "_D_Z45", "_D_ZS45",
    "V_V", "V_CV", "V_VCVS", "V_CCVS", "V_VM",
    "I_I", "I_CI", "I_VCCS", "I_CCCS",
    "S_S", "S_S3", "_S_S45", "S_LCS", "S_VCS", "S_CCS", "S_LCS3", "S_VCS3", "S_CCS3",
    "A_A",
    "O_O", "O_O_COMP", "O_OD", "O_OD_COMP", "O_REF", "O_FD", "O_VC", "O_CV", "O_CC", "O_OS",
    "O_VCG", "O_CCG",
    "T_TNPN", "T_TPNP", "T_NFET", "T_PFET",
    "X_Delay",
    "F_1", "F_1C", "F_2", "F_2C", "F_CUSTOM", "F_INT", "F_INTR", "F_S", "F_Z",
    "W_W", "W_T2", "W_T3", "W_CUSTOM", "W_WM",
    "Y_1", "Y_1_NOT", "Y_2_AND", "Y_2_NAND", "Y_2_OR", "Y_2_NOR", "Y_2_XOR", "Y_2_XNOR",
    "Y_3_AND", "Y_3_NAND", "Y_3_OR", "Y_3_NOR", "Y_3_XOR", "Y_3_XNOR",
    "Y_CUSTOM", "Y_FUNCTION", "Y_FF", "Y_RS", "Y_JK", "Y_ST",
    "Y_LG", "Y_CLG", "Y_VCLG", "Y_CCLG", "Y_BUS",
    "X_Line", "X_SH", "X_DC", "X_B2", "X_B3", "X_B4", "X_B6", "X_B8", "X_CUSTOM", "X_QVS",
    "X_C", "X_DLL",
    "Z_Z",
    nullptr};

const SElemType* const m_elemtype_arrays[] = {
    CElemCS::m_elemtype,
    CElemIntegral::m_elemtype,
    CElemAC::m_elemtype,
    CElemW::m_elemtype,
    CElemDelay::m_elemtype,
    CElemLine::m_elemtype,
    CElemSH::m_elemtype,
    CElemDC::m_elemtype,
    CElemCode::m_elemtype,
    CElemDll::m_elemtype,
    CElemZ::m_elemtype,
    CElemX::m_elemtype,
    CElemVCVS::m_elemtype,
    CElemO::m_elemtype,
    CElemT::m_elemtype,
    CElemFET::m_elemtype,
    CElemF::m_elemtype,
    CElemY::m_elemtype,
    CElemLG::m_elemtype,
    CElemR::m_elemtype,
    CElemC::m_elemtype,
    CElemL::m_elemtype,
    CElemD::m_elemtype,
    CElemS::m_elemtype,
    CElemV::m_elemtype,
    CElemA::m_elemtype,
    nullptr};

const CElemSet ElemSet(m_elemtype_order, m_elemtype_arrays);
