/// @file
/// Concrete properties by grade after GB 50010-2002 (Code for design of concrete structures),
/// grades C15 ... C80, and the code's stress-strain relations of concrete.
///
/// Units: strengths and moduli in pascals, strains as plain numbers. Every lookup interpolates
/// linearly between grades and clamps outside the table to the first or last grade (never
/// extrapolates); the relations take fc, ft and Ec from these lookups, so a cube strength
/// between grades gets interpolated properties. Nothing is reported: NaN gives NaN.
#ifndef RVN_ENGINEERING_TABLECONCRETE_H
#define RVN_ENGINEERING_TABLECONCRETE_H

/// @addtogroup engineering
/// @{

#include "BaseCommon/Export.h"

/// Concrete properties by grade after GB 50010-2002 (Code for design of concrete
/// structures), grades C15 to C80, and the code's stress-strain relations of concrete.
/// @see TableConcrete.h for the contracts that hold for the whole class.
class RVN_API TableConcrete {
public:
    TableConcrete() = default;
    /// A copy (the tables are shared constants; the object holds no state).
    TableConcrete(const TableConcrete&) = default;
    /// Assignment (the object holds no state).
    TableConcrete& operator=(const TableConcrete&) = default;
    virtual ~TableConcrete();

    /// Design tensile strength ft at cube strength fcuk.
    double FindFt(double fcuk) const;
    /// Design compressive strength fc at cube strength fcuk.
    double FindFc(double fcuk) const;
    /// Characteristic tensile strength ftk at cube strength fcuk.
    double FindFtk(double fcuk) const;
    /// Characteristic axial compressive strength fck at cube strength fcuk.
    double FindFck(double fcuk) const;
    /// Elastic modulus Ec at cube strength fcuk.
    double FindEc(double fcuk) const;
    /// Fatigue modulus. C15 has none and tabulates 0, so a cube strength between C15 and C20
    /// interpolates from 0.
    double FindEc_f(double fcuk) const;
    /// Inverse lookup: the cube strength whose design compressive strength is fc.
    double FindFcuk(double fc) const;

    /// Compression curve for bending, with d = fcuk - 50 MPa: strain at peak stress
    /// eps0 = 0.002 + 0.5e-11 * d, at least 0.002; ultimate strain
    /// epscu = 0.0033 - 1e-11 * d, at most 0.0033; exponent n = 2 - d / 60 MPa, at most 2.
    /// Above C50 these follow fcuk itself, not the clamped table.
    double CalEpsilon_c0_Bend(double fcuk) const;
    /// Ultimate compressive strain in bending, epscu = 0.0033 - 1e-11 * (fcuk - 50 MPa), at
    /// most 0.0033.
    double CalEpsilon_cu_Bend(double fcuk) const;
    /// Exponent of the rising branch, n = 2 - (fcuk - 50 MPa) / 60 MPa, at most 2.
    double Cal_n_Bend(double fcuk) const;
    /// Compressive stress at strain eps (compression positive): fc * (1 - (1 - eps/eps0)^n)
    /// for eps <= eps0 (a negative strain gives a negative stress), fc for
    /// eps0 < eps <= epscu, 0 beyond epscu (crushed).
    double CalSigma_c_Bend(double fcuk, double eps) const;

    /// Equivalent rectangular stress block: alpha1 is 1.0 for fc <= 23.1 MPa (C50), 0.94 for
    /// fc >= 35.9 MPa (C80), linear in fc between; beta1 likewise 0.8 ... 0.74.
    double CalAlfa1(double fcuk) const;
    /// Depth factor beta1 of the rectangular stress block: 0.8 for fc <= 23.1 MPa (C50), 0.74
    /// for fc >= 35.9 MPa (C80), linear in fc between.
    double CalBeat1(double fcuk) const;

    /// Tension: strain at peak epst0 = ft / Ec (both names give it), ultimate strain in
    /// bending 2 * ft / Ec.
    double CalEpsilon_t0_Bend(double fcuk) const;
    /// Tensile strain at peak stress, epst0 = ft / Ec (same value as CalEpsilon_t0_Bend).
    double CalEpsilon_t0_Tension(double fcuk) const;
    /// Ultimate tensile strain in bending, 2 * ft / Ec.
    double CalEpsilon_tu_Bend(double fcuk) const;
    /// Tensile stress in bending (tension positive): eps * Ec for eps <= epst0, ft for
    /// epst0 < eps <= 2 * epst0, 0 beyond.
    double CalSigma_t_Bend(double fcuk, double eps) const;
    /// Tensile stress in pure tension: eps * Ec for eps <= epst0, 0 beyond (cracked).
    double CalSigma_t_Tension(double fcuk, double eps) const;

protected:
    /// One entry per grade C15, C20, ..., C80 (index 0 ... 13), in pascals.
    static const double m_adFcuk[14];  ///< cube strength, the grade itself
    static const double m_adFck[14];   ///< characteristic axial compressive strength
    static const double m_adFc[14];    ///< design compressive strength
    static const double m_adFtk[14];   ///< characteristic tensile strength
    static const double m_adFt[14];    ///< design tensile strength
    static const double m_adEc[14];    ///< elastic modulus
    static const double m_adEc_f[14];  ///< fatigue modulus, 0 for C15
};

/// @}

#endif  // RVN_ENGINEERING_TABLECONCRETE_H
