# lavaan fits the moments read_dsf() returns with nothing else, to the very estimates it gives for
# the file's own doubles and for the moments of the command line's JSON.

test_that("lavaan fitted from read_dsf() equals lavaan fitted from the file and from the JSON", {
  skip_if_not_installed("lavaan")
  folder <- withr::local_tempdir()
  loadings <- c(0.9, 0.8, 0.7, 0.6)
  sigma <- (tcrossprod(loadings) + diag(1 - loadings^2)) * tcrossprod(c(1.5, 2, 0.5, 3))
  path <- write_dsf(folder, "one_factor.dsf", dsf_bytes(
    c("Y1", "Y2", "Y3", "Y4"), sigma[upper.tri(sigma, diag = TRUE)], 1:4, cases = 250L))
  fit <- function(cov, mean, cases) {
    lavaan::cfa("F =~ Y1 + Y2 + Y3 + Y4", sample.cov = cov, sample.mean = mean,
                sample.nobs = cases, meanstructure = TRUE)
  }
  m <- read_dsf(path)
  from_r <- fit(m$cov, m$mean, m$cases)
  expect_true(lavaan::lavInspect(from_r, "converged"))
  held <- file_moments(path)
  names <- paste0("Y", 1:4)
  from_file <- fit(structure(held$cov, dimnames = list(names, names)),
                   stats::setNames(held$mean, names), 250L)
  expect_identical(lavaan::parameterEstimates(from_r), lavaan::parameterEstimates(from_file))

  skip_if_not_installed("jsonlite")
  skip_without_cli()
  json <- file.path(folder, "one_factor.json")
  expect_identical(run_cli(c("-o", json, path))$status, 0L)
  j <- jsonlite::fromJSON(json)
  from_json <- fit(lavaan::getCov(unlist(j$covariances), names = j$variables),
                   stats::setNames(j$means, j$variables), j$cases)
  expect_identical(lavaan::parameterEstimates(from_r), lavaan::parameterEstimates(from_json))
})
