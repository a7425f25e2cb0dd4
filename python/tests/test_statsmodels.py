import json

import numpy
from statsmodels.multivariate.factor import Factor

import dsf2vemo
from dsf_files import dsf

LOADINGS = numpy.array([0.9, 0.8, 0.7, 0.6, 0.5])
DEVIATIONS = numpy.array([1.0, 2.5, 0.4, 12.0, 3.0])


def one_factor_file():
    """The moments of five variables that one factor explains, on scales of their own."""
    corr = numpy.outer(LOADINGS, LOADINGS) + numpy.diag(1 - LOADINGS**2)
    cov = corr * numpy.outer(DEVIATIONS, DEVIATIONS)
    names = [f"item{i}".encode() for i in range(1, 6)]
    return dsf(b"ONE FACTOR", 500, names, list(cov[numpy.tril_indices(5)]), [0.0] * 5)


def fitted_loadings(cov, cases):
    deviations = numpy.sqrt(numpy.diag(cov))
    corr = cov / numpy.outer(deviations, deviations)
    loadings = Factor(corr=corr, n_factor=1, method="ml", nobs=cases).fit().loadings[:, 0]
    return loadings * numpy.sign(loadings.sum())


def test_a_factor_model_fits_the_same_from_read_dsf_as_from_the_json(tmp_path, cli):
    (tmp_path / "items.dsf").write_bytes(one_factor_file())
    moments = dsf2vemo.read_dsf(tmp_path / "items.dsf")
    from_package = fitted_loadings(moments.cov, moments.cases)

    run = cli.run("-o", tmp_path / "items.json", tmp_path / "items.dsf")
    assert run.returncode == 0, run.stderr
    m = json.loads((tmp_path / "items.json").read_text(encoding="utf-8"))
    cov = numpy.zeros((5, 5))
    cov[numpy.tril_indices(5)] = [value for row in m["covariances"] for value in row]
    from_json = fitted_loadings(cov + numpy.tril(cov, -1).T, m["cases"])

    assert numpy.array_equal(from_package, from_json)
    # And the fit found the factor the moments were made from.
    numpy.testing.assert_allclose(from_package, LOADINGS, atol=1e-3)
