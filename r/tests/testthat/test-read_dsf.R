# read_dsf() against the file's bytes: the very doubles, the texts decoded, and the findings and
# failures in the words of dsf2vemo-cli.

folder <- withr::local_tempdir()
files <- sample_files(folder)
demo <- readBin(files$demo, raw(), 128L)

rows <- list(  # file, header, cases, names, a part of the first finding
  list("demo", "DEMO", 150L, c("X1", "X2"), NA),
  list("nul_padding", "NUL PADDED", 150L, c("X1", "X2", "A\uFFFDB"), "not text"),
  list("high_bit_names", "\u00c9tudes \u20ac \u00a9 2000", 150L,
       c("\u00e9t\u00e9", "na\u00efve", "x\u0081y"), "not text"),
  list("correlations", "KM", 150L, c("A", "B", "C"), "looks like a correlation matrix"),
  list("exact_values", "READ BACK", 150L, LETTERS[1:5], "not a finite number"),
  list("one_variable", "", 2L, "ONLY", NA)
)
for (row in rows) {
  test_that(paste("read_dsf() reads", row[[1]], "as its bytes hold it"), {
    path <- files[[row[[1]]]]
    expect_silent(m <- read_dsf(path, quiet = TRUE))
    held <- file_moments(path)
    expect_identical(m[c("header", "cases", "names")], list(header = row[[2]], cases = row[[3]],
                                                            names = row[[4]]))
    expect_identical(m$cov, structure(held$cov, dimnames = list(row[[4]], row[[4]])))
    expect_identical(m$mean, stats::setNames(held$mean, row[[4]]))
    # Bit for bit: -0 and NaN payloads too, which identical() takes for equal.
    expect_identical(bits(m$cov), bits(held$cov))
    expect_identical(bits(m$mean), bits(held$mean))
    expect_identical(is.na(row[[5]]), length(m$findings) == 0L)
    if (!is.na(row[[5]])) {
      expect_match(m$findings[[1]], row[[5]], fixed = TRUE)
      expect_s3_class(tryCatch(read_dsf(path), warning = identity), "dsf2vemo_warning")
    }
    expect_identical(capture_warnings(read_dsf(path)),
                     paste0(path, ": ", m$findings, recycle0 = TRUE))
    if (nzchar(cli_path())) {
      said <- sub(paste0(path, ": "), "", run_cli(c("--check", path))$out, fixed = TRUE)
      expect_identical(m$findings, setdiff(said, "no findings"))
      # Their numbers are written as R writes its own.
      withr::local_options(OutDec = ",")
      said <- sub(paste0(path, ": "), "",
                  run_cli(c("--decimal-separator", ",", "--check", path))$out, fixed = TRUE)
      expect_identical(read_dsf(path, quiet = TRUE)$findings, setdiff(said, "no findings"))
    }
  })
}

test_that("the one number of cases R's integers can't hold, their NA, comes as a double", {
  for (case in list(list(NA_integer_, -2147483648), list(-2147483647L, -2147483647L),
                    list(.Machine$integer.max, .Machine$integer.max))) {
    path <- write_dsf(folder, "cases.dsf", dsf_bytes("X", 1, 0, cases = case[[1]]))
    expect_identical(read_dsf(path, quiet = TRUE)$cases, case[[2]])
  }
})

damaged <- list(  # name, bytes (NULL: none; "folder"), a part of the converter's reason
  list("short.dsf", demo[-128], "127 bytes long, but a data system file with 2 variables needs"),
  list("empty.dsf", raw(), "the file is 0 bytes long"),
  list("no_variables.dsf", dsf_bytes(character(), 0, 0), "declares 0 variables"),
  list("too_many.dsf", dsf_bytes("X", 1, 1, count = 46341L), "46341 variables, but at most 46340"),
  list("missing.dsf", NULL, "No such file or directory"),
  list("folder.dsf", "folder", "it is a folder")
)
for (row in damaged) {
  test_that(paste("read_dsf() refuses", row[[1]], "in the converter's words"), {
    path <- file.path(folder, row[[1]])
    if (is.raw(row[[2]])) writeBin(row[[2]], path) else if (!is.null(row[[2]])) dir.create(path)
    error <- tryCatch(read_dsf(path), dsf2vemo_error = identity)
    expect_identical(error$input, path)
    expect_true(startsWith(conditionMessage(error), paste0("cannot read '", path, "': ")))
    expect_match(conditionMessage(error), row[[3]], fixed = TRUE)
    if (nzchar(cli_path())) expect_identical(conditionMessage(error), run_cli(path)$error)
  })
}

test_that("~ is expanded, and a message names the path as given", {
  withr::local_envvar(HOME = folder)
  expect_identical(read_dsf("~/demo.dsf")$cases, 150L)
  expect_error(read_dsf("~/gone.dsf"), "cannot read '~/gone.dsf': ", fixed = TRUE,
               class = "dsf2vemo_error")
  for (bad in list(c("a.dsf", "b.dsf"), character(), "", NA_character_, 1)) {
    expect_error(read_dsf(bad), "^`path` must be one file name, not ")
  }
  for (bad in list(NA, c(TRUE, FALSE), "yes")) {
    expect_error(read_dsf("~/demo.dsf", quiet = bad), "^`quiet` must be TRUE or FALSE, not ")
  }
  expect_identical(convert_dsf("~/demo.dsf", "~/tilde.json", quiet = TRUE),
                   file.path(folder, "tilde.json"))
  expect_error(convert_dsf("~/gone.dsf"), "^cannot read '~/gone.dsf': ", class = "dsf2vemo_error")
})

test_that("print() shows the header, the counts, the first names and the findings", {
  many <- write_dsf(folder, "many.dsf", dsf_bytes(sprintf("V%d", 1:10), seq_len(55), 1:10))
  expect_identical(capture.output(print(read_dsf(many, quiet = TRUE)))[1:3],
                   c("<dsf_moments> (no header)",
                     "150 cases, 10 variables: V1, V2, V3, V4, V5, V6, V7, V8, ... (2 more)",
                     "Findings:"))
  expect_identical(summary(read_dsf(many, quiet = TRUE))$variables$variance, cumsum(1:10) + 0)
  expect_identical(capture.output(print(read_dsf(files$one_variable)))[[2]],
                   "2 cases, 1 variable: ONLY")
  # No standard deviation for a negative variance; one of 0 for a variance of 0.
  signs <- write_dsf(folder, "signs.dsf", dsf_bytes(c("A", "B", "C"), c(0, 0, -1, 0, 0, 4), 0:2))
  expect_identical(summary(read_dsf(signs, quiet = TRUE))$variables$sd, c(0, NaN, 2))
})
